#pragma once

#include <exception>
#include <string>
#include <utility>

namespace tarnwick {

// A pass over the address book runs each step in one of two modes: a failing step is
// skipped (what it would have set keeps its value), or the failure ends the pass through
// one of the pass's endings. The pass switches modes as it goes.
template <typename Ending>
class PassErrorMode
{
public:
    // Thrown out of run() in routing mode; the pass catches it once, at its top.
    struct Routed
    {
        Ending ending;
        std::string reason;
    };

    void skipFailures() { m_routing = false; }
    void routeFailuresTo(Ending ending)
    {
        m_routing = true;
        m_ending = ending;
    }

    // The first failure since the pass began or since forgetFailures(): the cause when a
    // pass ends for want of a view or a book, as later steps then fail only for lack of it.
    const std::string &firstFailure() const { return m_firstFailure; }
    void forgetFailures() { m_firstFailure.clear(); }

    // Runs one step. True when it succeeded.
    template <typename Step>
    bool run(Step &&step)
    {
        try {
            std::forward<Step>(step)();
            return true;
        } catch (const std::exception &error) {
            // Whatever failed (the Notes layer, or memory running out on a huge book), the
            // step failed, and the pass goes on as its mode says.
            if (m_firstFailure.empty())
                m_firstFailure = error.what();
            if (m_routing)
                throw Routed{m_ending, error.what()};
            return false;
        }
    }

private:
    bool m_routing = false;
    Ending m_ending{};
    std::string m_firstFailure;
};

} // namespace tarnwick
