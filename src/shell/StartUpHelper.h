#pragma once

#include <functional>
#include <pthread.h>

// A piece of start-up work run beside the main thread: started once, waited
// for where its result is needed, and at the latest when the program ends,
// so that it never outlives the program.
//
// The helper starts on another processor than the one its caller runs on.
// A new thread otherwise starts on its creator's processor and, the main
// thread being busy there, waits until the scheduler moves it: about 2 ms
// of a start-up on the machines measured. Once running, it may go anywhere
// the caller may, and so may the threads it starts.
class StartUpHelper
{
public:
    StartUpHelper() = default;
    StartUpHelper(const StartUpHelper&) = delete;
    StartUpHelper& operator=(const StartUpHelper&) = delete;
    ~StartUpHelper() { Finish(); }

    // Runs the work on a thread of its own and answers true. Nothing happens
    // (false) when the work was started already or no thread can be made:
    // the work is then left to whoever needs its result.
    bool Start(std::function<void()> work);
    // Waits until the work has ended (at once when it never started).
    void Finish();

private:
    pthread_t m_thread{};
    bool m_started = false;
};
