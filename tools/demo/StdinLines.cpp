#include "StdinLines.h"

#include <cerrno>
#include <unistd.h>

CStdinLines::CStdinLines(std::function<void(const std::string&)> fnLine, std::function<void()> fnEnd)
    : m_fnLine(std::move(fnLine)), m_fnEnd(std::move(fnEnd)),
      m_pNotifier(std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read))
{
    QObject::connect(m_pNotifier.get(), &QSocketNotifier::activated, this, [this] { OnReadable(); });
}

void CStdinLines::OnReadable()
{
    char arrBuffer[4096];
    const ssize_t nRead = read(STDIN_FILENO, arrBuffer, sizeof arrBuffer);
    if (nRead < 0 && (errno == EINTR || errno == EAGAIN))
        return;
    if (nRead <= 0)
    {
        m_pNotifier->setEnabled(false);
        if (!m_strPending.empty())
            m_fnLine(std::exchange(m_strPending, std::string()));
        m_fnEnd();
        return;
    }
    m_strPending.append(arrBuffer, static_cast<size_t>(nRead));
    for (size_t nEnd; (nEnd = m_strPending.find('\n')) != std::string::npos;)
    {
        std::string strLine = m_strPending.substr(0, nEnd);
        m_strPending.erase(0, nEnd + 1);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        m_fnLine(strLine);
    }
}
