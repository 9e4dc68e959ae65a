#include "PasswordWork.h"

namespace qornc::server {

WorkOutcome perform(const PasswordWork& work)
{
    WorkOutcome outcome;
    outcome.ran = true;
    if (work.kind == PasswordWork::Kind::Hash) {
        if (!work.passwords.empty())
            outcome.hash = work.hasher.hash(work.passwords.front());
        return outcome;
    }
    for (std::size_t i = 0; i < work.passwords.size() && !outcome.matched; ++i) {
        if (PasswordHasher::verify(work.storedHash, work.passwords[i]))
            outcome.matched = i;
    }
    // The password is at hand only now: the one moment a hash made weaker can be made anew.
    if (outcome.matched && work.hasher.isWeaker(work.storedHash))
        outcome.hash = work.hasher.hash(work.passwords[*outcome.matched]);
    return outcome;
}

} // namespace qornc::server
