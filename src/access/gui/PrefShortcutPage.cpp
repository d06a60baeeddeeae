#include "access/gui/PrefShortcutPage.h"

#include <utility>

static PrefShortcutPageBuilder& Builder() {
    static PrefShortcutPageBuilder builder;
    return builder;
}

void Pref_SetShortcutPageBuilder(PrefShortcutPageBuilder builder) {
    Builder() = std::move(builder);
}

const PrefShortcutPageBuilder& Pref_ShortcutPageBuilder() {
    return Builder();
}
