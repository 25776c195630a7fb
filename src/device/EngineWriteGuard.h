#pragma once

// The writes of a dialog's OK as one step: each write first remembers how
// to put the old value back; when the engine refuses one of them, what was
// already written is put back (newest first), the operator gets an "Error"
// box with the engine's text and the black-box log a line, and the dialog
// stays open. No engine error leaves the OK handler.

#include <QString>
#include <functional>
#include <vector>

class EngineWriteGuard
{
public:
    // what names the step in the black-box line ("Device Range OK").
    explicit EngineWriteGuard(QString what);

    // Writes value through put after reading the old value through get.
    template <class Get, class Put, class T>
    void Write(Get get, Put put, const T& value)
    {
        auto old = get();
        m_undo.push_back([put, old] { put(old); });
        put(value);
    }
    // Sets a field of the program's own, remembering its old value.
    template <class T>
    void Set(T& field, const T& value)
    {
        m_undo.push_back([&field, old = field] { field = old; });
        field = value;
    }
    // Remembers how to undo a write made outside Write.
    void Remember(std::function<void()> undo) { m_undo.push_back(std::move(undo)); }

    // Runs the writes; True when all of them were made.
    bool Run(const std::function<void()>& writes);

private:
    QString m_what;
    std::vector<std::function<void()>> m_undo;
};
