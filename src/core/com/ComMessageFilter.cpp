#include "ComMessageFilter.h"

namespace notes::com {

void ComMessageFilter::install()
{
    static ComMessageFilter filter;
    IMessageFilter *previous = nullptr;
    // Fails outside a single-threaded apartment, where COM consults no filter anyway.
    if (SUCCEEDED(CoRegisterMessageFilter(&filter, &previous)) && previous)
        previous->Release();
}

std::optional<std::chrono::milliseconds> ComMessageFilter::retryPause(std::chrono::milliseconds elapsed)
{
    if (elapsed >= BusyServerPatience)
        return std::nullopt;
    return std::chrono::milliseconds(250);
}

HRESULT ComMessageFilter::QueryInterface(REFIID iid, void **object)
{
    const bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IMessageFilter);
    *object = known ? static_cast<IMessageFilter *>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
}

DWORD ComMessageFilter::HandleInComingCall(DWORD, HTASK, DWORD, LPINTERFACEINFO)
{
    // Notes does not call back into the program; nothing is refused.
    return SERVERCALL_ISHANDLED;
}

DWORD ComMessageFilter::RetryRejectedCall(HTASK, DWORD tickCount, DWORD rejectType)
{
    const auto pause = retryPause(std::chrono::milliseconds(tickCount));
    // 100 or more: COM waits that long, then calls again.
    if (rejectType == SERVERCALL_RETRYLATER && pause)
        return static_cast<DWORD>(pause->count());
    return static_cast<DWORD>(-1);
}

DWORD ComMessageFilter::MessagePending(HTASK, DWORD, DWORD)
{
    return PENDINGMSG_WAITDEFPROCESS;
}

} // namespace notes::com
