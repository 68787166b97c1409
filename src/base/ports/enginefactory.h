#pragma once

#include <memory>

#include "base/ports/transferengine.h"

namespace dromo {

class ProgressSink;

// Makes one engine per worker, bound to the sink its events go to.
class EngineFactory {
public:
    virtual ~EngineFactory() = default;
    // Nothing when no engine can be made (the worker then ends quietly).
    virtual std::shared_ptr<TransferEngine> Create(ProgressSink& sink) = 0;
};

}  // namespace dromo
