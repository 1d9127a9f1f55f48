#pragma once
#include <QThread>
#include <functional>
#include <utility>

// A thread that runs one function. QThread::create would do the same through std::async, whose
// thread-local state makes the program link the dynamic loader directly.
class FunctionThread final : public QThread {
public:
    FunctionThread(std::function<void()> function, QObject* parent) : QThread(parent), Function(std::move(function)) {}

protected:
    void run() override { Function(); }

private:
    std::function<void()> Function;
};
