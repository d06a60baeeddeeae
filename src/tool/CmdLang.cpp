// orvalis-tool lang write FOLDER LANGUAGE: the translator's starting file.
#include <cstdio>

#include "shell/base/LngState.h"
#include "tool/ToolCommand.h"

static int CmdLang(const std::vector<std::string>& args) {
    if (args.size() != 3 || args[0] != "write")
        return Tool_Fail("usage: orvalis-tool lang write FOLDER LANGUAGE", 2);
    const std::string& folder = args[1];
    const std::string& language = args[2];
    if (language.empty()) return Tool_Fail("the language name is empty", 2);
    std::string path = folder;
    if (!path.empty() && path.back() != '/') path += '/';
    path += language + ".Txt";
    // An existing file is the current translation: its texts are kept.
    if (!UpdateLanguageFileFor(folder, language)) return Tool_Fail("cannot write " + path);
    std::printf("%s\n", path.c_str());
    return 0;
}

static ToolCommand reg("lang", "lang write FOLDER LANGUAGE", &CmdLang);
