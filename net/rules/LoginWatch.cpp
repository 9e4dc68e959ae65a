#include "net/rules/LoginWatch.h"

void LoginWatch::LoggedIn(Clock::time_point at)
{
    m_loggedIn = at;
    m_answered = false;
}

bool LoginWatch::EndedUnanswered(Clock::time_point endedAt) const
{
    return m_loggedIn && !m_answered && endedAt - *m_loggedIn <= kWindow;
}
