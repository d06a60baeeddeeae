#include "catalogue/core/Records.h"

CursorList<Rss> RssList;
