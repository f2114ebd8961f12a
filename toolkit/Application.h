// The application object: message loop, title and the handler of uncaught exceptions.
#pragma once

#include <exception>
#include <functional>
#include <stdexcept>
#include <string>

namespace Toolkit {

class TApplication {
public:
    std::string Title;

    // Replaces the default report of an exception that escaped an event handler.
    std::function<void(const std::exception&)> OnException;

    // Reports an exception that reached the message loop: OnException when assigned,
    // otherwise the backend's default report (headless: a line on standard error;
    // Windows: a message box).
    void HandleException(const std::exception& e);

    // Runs what is waiting for the user-interface thread (synchronized calls, posted
    // messages, due repaints) and returns.
    void ProcessMessages();

    // True on the user-interface thread (the thread that first used the application).
    bool IsMainThread() const;

    // Runs the message loop until Terminate is called (on Windows also when the main
    // form closes).
    void Run();
    void Terminate() { FTerminated = true; }
    bool Terminated() const { return FTerminated; }

private:
    bool FTerminated = false;
};

TApplication& Application();

// Runs fn and hands any exception it raises to Application().HandleException.
template <class Fn>
void CallGuarded(Fn&& fn) {
    try {
        fn();
    } catch (const std::exception& e) {
        Application().HandleException(e);
    } catch (...) {
        Application().HandleException(std::runtime_error("An exception of an unknown kind was raised."));
    }
}

}  // namespace Toolkit
