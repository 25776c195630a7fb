#pragma once

#include <functional>
#include <thread>

// A piece of start-up work run beside the main thread: started once, waited
// for where its result is needed, and at the latest when the program ends,
// so that it never outlives the program.
class StartUpHelper
{
public:
    StartUpHelper() = default;
    StartUpHelper(const StartUpHelper&) = delete;
    StartUpHelper& operator=(const StartUpHelper&) = delete;
    ~StartUpHelper() { Finish(); }

    // Runs the work on a thread of its own. Nothing happens when the work was
    // started already or no thread can be made: the work is then left to
    // whoever needs its result.
    void Start(std::function<void()> work);
    // Waits until the work has ended (at once when it never started).
    void Finish();

private:
    std::thread m_thread;
};
