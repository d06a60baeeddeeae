/* Stand-ins for the client libraries of NVDA ("nvdaControllerClient64.dll") and JAWS
   ("JFWAPI.DLL"), for the tests of the Windows speech output: every call is appended as one
   line "name:text" (UTF-8) to the file named by ORVALIS_FAKE_SPEECH_LOG. Built with
   FAKE_JAWS for JAWS, with FAKE_JAWS_PARTIAL for a JAWS library lacking JFWRunScript. */
#include <windows.h>
#include <stdio.h>

static void Note(const char* what, const char* utf8) {
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"ORVALIS_FAKE_SPEECH_LOG", path, MAX_PATH)) return;
    FILE* f = _wfopen(path, L"ab");
    if (!f) return;
    fprintf(f, "%s:%s\n", what, utf8 ? utf8 : "");
    fclose(f);
}

static void NoteWide(const char* what, const wchar_t* text) {
    char utf8[4096] = "";
    if (text) WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    Note(what, utf8);
}

#if defined(FAKE_JAWS) || defined(FAKE_JAWS_PARTIAL)
__declspec(dllexport) BOOL __stdcall JFWSayString(const char* text, BOOL interrupt) {
    /* The text comes as ANSI (Windows-1252). */
    wchar_t wide[4096] = L"";
    MultiByteToWideChar(1252, 0, text, -1, wide, 4096);
    NoteWide(interrupt ? "say-interrupt" : "say", wide);
    return TRUE;
}
__declspec(dllexport) BOOL __stdcall JFWRunFunction(const char* name) {
    return TRUE;
}
#ifndef FAKE_JAWS_PARTIAL
__declspec(dllexport) BOOL __stdcall JFWRunScript(const char* name) {
    return TRUE;
}
#endif
__declspec(dllexport) BOOL __stdcall JFWStopSpeech(void) {
    return TRUE;
}
#else
__declspec(dllexport) unsigned long __stdcall nvdaController_testIfRunning(void) {
    return 0;
}
__declspec(dllexport) unsigned long __stdcall nvdaController_speakText(const wchar_t* text) {
    NoteWide("speak", text);
    return 0;
}
__declspec(dllexport) unsigned long __stdcall nvdaController_cancelSpeech(void) {
    Note("cancel", NULL);
    return 0;
}
__declspec(dllexport) unsigned long __stdcall nvdaController_brailleMessage(const wchar_t* text) {
    NoteWide("braille", text);
    return 0;
}
#endif
