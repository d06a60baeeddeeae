// Menu mnemonics: the letter after a lone "&" in a label ("&&" is a plain "&"). On GTK the
// menu bar has no other key than these, so every top-level label needs one, and two
// entries of one menu must never share one.
#pragma once
#include <string>
#include <vector>

// The mnemonic of `label`, lower-cased (ASCII letters and digits); 0 when it has none.
char Mnemonic_Of(const std::string& label);
// The labels of one menu with their mnemonics made unique: a label that shares its
// mnemonic with an earlier one moves it to its first letter no other label uses; with
// `addMissing` a label without one also gets that letter. A label keeps its own "&"
// otherwise. Labels with no free letter are left as they are.
std::vector<std::string> Mnemonics_Assign(const std::vector<std::string>& labels, bool addMissing);
// The labels of one menu that share a mnemonic with an earlier label.
std::vector<std::string> Mnemonics_Duplicates(const std::vector<std::string>& labels);
