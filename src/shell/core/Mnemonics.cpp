#include "shell/core/Mnemonics.h"

#include <set>

static char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

static bool Usable(char c) {
    c = Lower(c);
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// Position of the lone "&" of `label`; npos when none.
static size_t MnemonicAt(const std::string& label) {
    for (size_t i = 0; i + 1 < label.size(); ++i) {
        if (label[i] != '&') continue;
        if (label[i + 1] == '&') {
            ++i;
            continue;
        }
        return i;
    }
    return std::string::npos;
}

char Mnemonic_Of(const std::string& label) {
    const size_t at = MnemonicAt(label);
    if (at == std::string::npos || !Usable(label[at + 1])) return 0;
    return Lower(label[at + 1]);
}

// `label` with its "&" (if any) moved before its first letter not in `used`; unchanged
// when every letter is taken.
static std::string MoveTo(const std::string& label, const std::set<char>& used) {
    std::string plain = label;
    const size_t at = MnemonicAt(label);
    if (at != std::string::npos) plain.erase(at, 1);
    for (size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '&') {
            ++i; // "&&" stays a plain "&"
            continue;
        }
        if (!Usable(plain[i]) || used.count(Lower(plain[i]))) continue;
        return plain.substr(0, i) + "&" + plain.substr(i);
    }
    return label;
}

std::vector<std::string> Mnemonics_Assign(const std::vector<std::string>& labels, bool addMissing) {
    std::vector<std::string> out = labels;
    std::set<char> used;
    // Labels that keep their own mnemonic: the first of each letter.
    std::vector<bool> keep(labels.size(), false);
    for (size_t i = 0; i < labels.size(); ++i) {
        const char m = Mnemonic_Of(labels[i]);
        if (m && used.insert(m).second) keep[i] = true;
    }
    for (size_t i = 0; i < labels.size(); ++i) {
        if (keep[i]) continue;
        const char m = Mnemonic_Of(labels[i]);
        if (!m && !addMissing) continue;
        out[i] = MoveTo(labels[i], used);
        if (const char now = Mnemonic_Of(out[i])) used.insert(now);
    }
    return out;
}

std::vector<std::string> Mnemonics_Duplicates(const std::vector<std::string>& labels) {
    std::vector<std::string> dups;
    std::set<char> used;
    for (const std::string& l : labels)
        if (const char m = Mnemonic_Of(l); m && !used.insert(m).second) dups.push_back(l);
    return dups;
}
