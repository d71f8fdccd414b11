#pragma once
// Reads standard input line by line from the UI thread's event loop, without ever blocking it:
// a socket notifier on descriptor 0 says when bytes are there, and only those are read.

#include <QObject>
#include <QSocketNotifier>
#include <functional>
#include <memory>
#include <string>

class CStdinLines : public QObject
{
public:
    // fnLine gets each complete line without its end; fnEnd runs once at the end of the input
    // (a last line without an end of line is handed over first).
    CStdinLines(std::function<void(const std::string&)> fnLine, std::function<void()> fnEnd);

private:
    void OnReadable();

    std::function<void(const std::string&)> m_fnLine;
    std::function<void()> m_fnEnd;
    std::unique_ptr<QSocketNotifier> m_pNotifier;
    std::string m_strPending;
};
