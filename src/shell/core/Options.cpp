#include "shell/core/Options.h"

int32_t DBBaseMode = 0;
int32_t NoSaveItems = 0;
