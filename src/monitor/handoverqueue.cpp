#include "monitor/handoverqueue.h"

#include <utility>

namespace dromo {

void HandOverQueue::Add(Job job)
{
    m_running.Start(std::move(job));
}

}  // namespace dromo
