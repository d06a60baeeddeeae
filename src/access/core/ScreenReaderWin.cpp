// Speech on Windows: JAWS or NVDA, found in the process list, their client loaded at
// run time; silent when neither runs or no client can be loaded.
#include <windows.h>

#include <oleauto.h>
#include <tlhelp32.h>

#include <string>

#include "access/core/ScreenReaderBackend.h"
#include "access/core/ScreenReaderSay.h"
#include "platform/core/Text.h"

using JfwSayString = BOOL(__stdcall*)(LPCSTR, BOOL);
using NvdaSpeakText = unsigned long(__stdcall*)(const wchar_t*);
using NvdaCancel = unsigned long(__stdcall*)();
using NvdaBraille = unsigned long(__stdcall*)(const wchar_t*);

static HMODULE NvdaLibrary = nullptr;
static HMODULE JawsLibrary = nullptr;
static FARPROC nvdaController_testIfRunning = nullptr;
static NvdaSpeakText nvdaController_speakText = nullptr;
static NvdaCancel nvdaController_cancelSpeech = nullptr;
static NvdaBraille nvdaController_brailleMessage = nullptr;
static JfwSayString JFWSayString = nullptr;
static FARPROC JFWRunFunction = nullptr;
static FARPROC JFWRunScript = nullptr;
static FARPROC JFWStopSpeech = nullptr;

// ---------------------------------------------------------------- JAWS's automation object

static IDispatch* JawsApi = nullptr;
static DISPID JawsSayString = 0;
static DISPID JawsStopSpeech = 0;

static std::wstring Wide(const std::string& utf8) {
    const std::u16string w = Utf8ToUtf16(utf8);
    return std::wstring(w.begin(), w.end());
}

static bool DispatchId(IDispatch* object, const wchar_t* name, DISPID& id) {
    LPOLESTR names[1] = {const_cast<LPOLESTR>(name)};
    return SUCCEEDED(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
}

// Creates "FreedomSci.JawsApi"; kept only when it has both SayString and StopSpeech.
static bool LoadJawsApi() {
    // The interface thread's COM apartment (a thread already in one keeps it).
    static const bool comReady = [] {
        const HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return SUCCEEDED(hr) || hr == RPC_E_CHANGED_MODE;
    }();
    if (!comReady) return false;
    CLSID clsid;
    if (FAILED(CLSIDFromProgID(L"FreedomSci.JawsApi", &clsid))) return false;
    IDispatch* object = nullptr;
    if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER,
                                IID_IDispatch, reinterpret_cast<void**>(&object))) ||
        !object)
        return false;
    if (!DispatchId(object, L"SayString", JawsSayString) ||
        !DispatchId(object, L"StopSpeech", JawsStopSpeech)) {
        object->Release();
        return false;
    }
    JawsApi = object;
    return true;
}

// SayString(text, flush): true when JAWS took the text.
static bool JawsApiSay(const std::string& text, int interrupt) {
    const std::wstring w = Wide(text);
    BSTR said = SysAllocStringLen(w.data(), static_cast<UINT>(w.size()));
    if (!said) return false;
    VARIANTARG args[2]; // in reverse order
    VariantInit(&args[0]);
    VariantInit(&args[1]);
    args[1].vt = VT_BSTR;
    args[1].bstrVal = said;
    args[0].vt = VT_BOOL;
    args[0].boolVal = interrupt ? VARIANT_TRUE : VARIANT_FALSE;
    DISPPARAMS params{args, nullptr, 2, 0};
    VARIANT result;
    VariantInit(&result);
    const HRESULT hr = JawsApi->Invoke(JawsSayString, IID_NULL, LOCALE_USER_DEFAULT,
                                       DISPATCH_METHOD, &params, &result, nullptr, nullptr);
    SysFreeString(said);
    const bool ok = SUCCEEDED(hr) && (result.vt != VT_BOOL || result.boolVal != VARIANT_FALSE);
    VariantClear(&result);
    return ok;
}

static HMODULE LoadFromPath(const char* file) {
    std::u16string w = Utf8ToUtf16(ScreenReaderPath + file);
    return LoadLibraryW(reinterpret_cast<const wchar_t*>(w.c_str()));
}

void ScreenReader_Close() {
    if (NvdaLibrary) FreeLibrary(NvdaLibrary);
    if (JawsLibrary) FreeLibrary(JawsLibrary);
    if (JawsApi) JawsApi->Release();
    NvdaLibrary = nullptr;
    JawsLibrary = nullptr;
    JawsApi = nullptr;
}

int ScreenReader_Detect() {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return SCREENREADER_NONE;
    int result = SCREENREADER_NONE;
    PROCESSENTRY32W pe{};
    pe.dwSize = sizeof(pe);
    for (BOOL ok = Process32FirstW(snap, &pe); ok; ok = Process32NextW(snap, &pe)) {
        std::string name =
            TrimBlanks(AsciiLower(Utf16ToUtf8(reinterpret_cast<const char16_t*>(pe.szExeFile))));
        if (name == "jfw.exe") {
            result = SCREENREADER_JAWS;
            break;
        }
        if (name == "nvda.exe") {
            result = SCREENREADER_NVDA;
            break;
        }
    }
    CloseHandle(snap);
    return result;
}

intptr_t ScreenReader_Init() {
    ScreenReader_Close();
    Sleep(200);
    switch (ScreenReader_Detect()) {
    case SCREENREADER_JAWS:
        JawsLibrary = LoadFromPath("JFWAPI.DLL");
        if (JawsLibrary) {
            JFWSayString = reinterpret_cast<JfwSayString>(
                reinterpret_cast<void*>(GetProcAddress(JawsLibrary, "JFWSayString")));
            JFWRunFunction = GetProcAddress(JawsLibrary, "JFWRunFunction");
            JFWRunScript = GetProcAddress(JawsLibrary, "JFWRunScript");
            JFWStopSpeech = GetProcAddress(JawsLibrary, "JFWStopSpeech");
            if (!JFWSayString || !JFWRunFunction || !JFWRunScript || !JFWStopSpeech) {
                FreeLibrary(JawsLibrary);
                JawsLibrary = nullptr;
            } else {
                JFWSayString("", FALSE);
            }
        }
        if (JawsLibrary) return reinterpret_cast<intptr_t>(JawsLibrary);
        // Without the client library beside the program (a 64-bit program cannot load
        // the 32-bit one), the automation object JAWS registers itself.
        return LoadJawsApi() ? reinterpret_cast<intptr_t>(JawsApi) : 0;
    case SCREENREADER_NVDA:
        NvdaLibrary = LoadFromPath("nvdaControllerClient.dll");
        // NVDA also ships the client under a name for each word size.
        if (!NvdaLibrary)
            NvdaLibrary = LoadFromPath(sizeof(void*) == 8 ? "nvdaControllerClient64.dll"
                                                          : "nvdaControllerClient32.dll");
        if (NvdaLibrary) {
            nvdaController_brailleMessage = reinterpret_cast<NvdaBraille>(reinterpret_cast<void*>(
                GetProcAddress(NvdaLibrary, "nvdaController_brailleMessage")));
            nvdaController_speakText = reinterpret_cast<NvdaSpeakText>(
                reinterpret_cast<void*>(GetProcAddress(NvdaLibrary, "nvdaController_speakText")));
            nvdaController_testIfRunning =
                GetProcAddress(NvdaLibrary, "nvdaController_testIfRunning");
            nvdaController_cancelSpeech = reinterpret_cast<NvdaCancel>(reinterpret_cast<void*>(
                GetProcAddress(NvdaLibrary, "nvdaController_cancelSpeech")));
            if (!nvdaController_brailleMessage || !nvdaController_speakText ||
                !nvdaController_testIfRunning || !nvdaController_cancelSpeech) {
                FreeLibrary(NvdaLibrary);
                NvdaLibrary = nullptr;
            }
        }
        return reinterpret_cast<intptr_t>(NvdaLibrary);
    default:
        return 0;
    }
}

bool ScreenReader_TrySay(const std::string& text, int interrupt) {
    if (JawsLibrary) return JFWSayString(Utf8ToCp1252(text).c_str(), interrupt) != 0;
    if (JawsApi) return JawsApiSay(text, interrupt);
    if (NvdaLibrary) {
        std::u16string w = Utf8ToUtf16(text);
        auto* p = reinterpret_cast<const wchar_t*>(w.c_str());
        if (interrupt) nvdaController_cancelSpeech();
        bool ok = nvdaController_speakText(p) == 0;
        nvdaController_brailleMessage(p);
        return ok;
    }
    return false;
}
