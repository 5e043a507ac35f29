#pragma once

#include "ComPlatform.h"

#include <chrono>
#include <optional>

namespace notes::com {

// How long a refused call is tried again. The Notes client refuses calls while it is busy
// (asking the user for the ID's password, say, or replicating); a person typing a password
// takes a while, a client that hangs must not hold the program for ever.
inline constexpr std::chrono::milliseconds BusyServerPatience = std::chrono::minutes(2);

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor" // one static object, never deleted
#endif

// The thread's message filter, as the old Visual Basic runtime had one: COM asks it what
// to do with a call the server refused, and with the window messages that arrive while a
// call is under way.
class ComMessageFilter final : public IMessageFilter
{
public:
    // Registers the one filter on the calling thread, once; a thread outside a
    // single-threaded apartment has no filter and is left as it is.
    static void install();

    // The pause before a call refused `elapsed` after its first try is tried again; none
    // once the patience has run out. Shared by the filter and by the layer's own retries.
    static std::optional<std::chrono::milliseconds> retryPause(std::chrono::milliseconds elapsed);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void **object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    DWORD STDMETHODCALLTYPE HandleInComingCall(DWORD type, HTASK caller, DWORD tickCount,
                                               LPINTERFACEINFO info) override;
    // SERVERCALL_RETRYLATER: tried again after the pause while the patience lasts;
    // SERVERCALL_REJECTED, or the patience at its end: -1, and the call fails.
    DWORD STDMETHODCALLTYPE RetryRejectedCall(HTASK callee, DWORD tickCount, DWORD rejectType) override;
    // While a call waits for its answer the windows repaint, and the user's input waits.
    DWORD STDMETHODCALLTYPE MessagePending(HTASK callee, DWORD tickCount, DWORD pendingType) override;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

} // namespace notes::com
