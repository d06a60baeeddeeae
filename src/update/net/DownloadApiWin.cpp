// The "API" method on the system's one-call service, URLDownloadToFileW (urlmon). The
// call runs on a helper thread with a status callback that aborts it on a stop, past the
// size bound or on an error reply; the caller waits in slices of 10 ms and leaves at
// once on a stop or a stall, the helper then removing its own part file when the
// service gives up.
#include <windows.h>

#include <urlmon.h>

#include <atomic>
#include <memory>
#include <thread>

#include "platform/core/CurlFetch.h"
#include "platform/core/FileUtil.h"
#include "platform/core/NetSocket.h"
#include "platform/core/Text.h"
#include "update/net/DownloadMethods.h"
#include "update/net/DownloadTool.h"
#include "platform/core/BlockPump.h"
#include "platform/core/WinText.h"

namespace {
std::wstring Wide(const std::string& utf8) {
    return Win_Wide(utf8);
}

// What the caller and the helper share; whoever leaves last frees it.
struct ApiShared {
    std::atomic<bool> Cancelled{false};
    std::atomic<bool> Done{false};
    // Set by whichever of the two leaves first; the second removes an abandoned part file.
    std::atomic<bool> Left{false};
    std::atomic<bool> TooLarge{false};
    std::atomic<bool> Refused{false}; // a reply of 400 or more
    std::atomic<uint32_t> LastData{0};
    HRESULT Result = E_FAIL; // written before Done
    int64_t MaxBytes = 0;
};

class BindCallback : public IBindStatusCallback, public IHttpNegotiate {
  public:
    explicit BindCallback(std::shared_ptr<ApiShared> shared) : m_shared(std::move(shared)) {}

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IBindStatusCallback)) {
            *out = static_cast<IBindStatusCallback*>(this);
        } else if (IsEqualIID(riid, IID_IHttpNegotiate)) {
            *out = static_cast<IHttpNegotiate*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_refs; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_refs;
        if (left == 0) delete this;
        return left;
    }

    // IBindStatusCallback
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD, IBinding*) override {
        return m_shared->Cancelled ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG,
                                         LPCWSTR) override {
        m_shared->LastData = Net_Ticks();
        if (m_shared->Cancelled) return E_ABORT;
        const int64_t bound = m_shared->MaxBytes;
        if (bound > 0 && (int64_t(progress) > bound || int64_t(progressMax) > bound)) {
            m_shared->TooLarge = true;
            return E_ABORT;
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO*) override {
        // Always a fresh copy from the server, and never a dialog.
        if (flags)
            *flags |= BINDF_GETNEWESTVERSION | BINDF_PRAGMA_NO_CACHE | BINDF_NO_UI |
                      BINDF_SILENTOPERATION;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*) override {
        return m_shared->Cancelled ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID, IUnknown*) override { return S_OK; }

    // IHttpNegotiate
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR, LPCWSTR, DWORD,
                                                   LPWSTR* extra) override {
        if (extra) *extra = nullptr;
        return m_shared->Cancelled ? E_ABORT : S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD code, LPCWSTR, LPCWSTR, LPWSTR* extra) override {
        if (extra) *extra = nullptr;
        m_shared->LastData = Net_Ticks();
        if (code >= 400) {
            m_shared->Refused = true;
            return E_ABORT;
        }
        return m_shared->Cancelled ? E_ABORT : S_OK;
    }

  private:
    virtual ~BindCallback() = default;
    std::atomic<ULONG> m_refs{1};
    std::shared_ptr<ApiShared> m_shared;
};

std::atomic<unsigned> g_partNumber{0};
} // namespace

int DownloadTool_API(const std::string& url, const std::string& file, int flag, uint32_t stopBit,
                     int64_t maxBytes) {
    if (url.empty() || file.empty()) return 1;
    const std::string agent = Download_GetSettings().NetAgent;
    const std::string sent = Utf8ToCp1252(agent.empty() ? Download_FallbackAgent() : agent);
    // The agent is a setting of the process's urlmon session.
    UrlMkSetSessionOption(URLMON_OPTION_USERAGENT, const_cast<char*>(sent.c_str()),
                          static_cast<DWORD>(sent.size()), 0);

    // A part file of its own: a helper left behind by a stop may still be writing its own.
    const std::string part = file + "." + std::to_string(++g_partNumber) + ".part";
    auto shared = std::make_shared<ApiShared>();
    shared->MaxBytes = maxBytes;
    shared->LastData = Net_Ticks();
    const std::wstring wideUrl = Wide(url), widePart = Wide(part);
    try {
        std::thread([shared, wideUrl, widePart] {
            const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
            BindCallback* callback = new BindCallback(shared);
            const HRESULT hr =
                URLDownloadToFileW(nullptr, wideUrl.c_str(), widePart.c_str(), 0, callback);
            callback->Release();
            if (SUCCEEDED(com)) CoUninitialize();
            shared->Result = hr;
            shared->Done = true;
            if (shared->Left.exchange(true)) DeleteFileW(widePart.c_str());
        }).detach();
    } catch (...) {
        return 1;
    }
    const auto stop = [&]() {
        if (stopBit != 0 && IsThreadKilled(stopBit) != 0) return true;
        // No sign from the server for the stall delay: given up like the other methods.
        return static_cast<int>(Net_Ticks() - shared->LastData) >= CurlFetch_StallSeconds * 1000;
    };
    if (Pump_WaitFor([&] { return shared->Done.load(); }, stop, 0) != PumpWait::Ready) {
        shared->Cancelled = true;
        // The helper may have finished meanwhile: its part file is then removed here.
        if (shared->Left.exchange(true)) File_Delete(part);
        return 1;
    }
    const bool ok = shared->Result == S_OK && !shared->TooLarge && !shared->Refused;
    const long long size = File_Size(part);
    if (!ok || size <= 0 || (maxBytes > 0 && size > maxBytes) || !File_Rename(part, file)) {
        File_Delete(part);
        return shared->TooLarge || (ok && maxBytes > 0 && size > maxBytes) ? DOWNLOAD_TOO_LARGE : 1;
    }
    return File_Exists(file) ? 0 : 1;
}
