#pragma once

#include <cassert>

#include "base/tasks/tasktable.h"

namespace dromo {

// A reference to something the task-table lock guards (the options, the
// lists) for a rule that may run off the user-interface thread. It opens
// only with a TaskTable::Guard in hand, so a read without the lock does not
// compile. Made from a plain reference, so whoever builds the rule hands in
// the object as before.
template <class T>
class Guarded {
public:
    Guarded(T& value) : m_value(&value) {}  // NOLINT(google-explicit-constructor): see above

    T& Get([[maybe_unused]] const TaskTable::Guard& held) const
    {
        assert(held.owns_lock());
        return *m_value;
    }

private:
    T* m_value;
};

}  // namespace dromo
