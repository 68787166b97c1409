#pragma once

#include <string>
#include <vector>

#include "core/network.h"
#include "core/tasklistobserver.h"
#include "download/workerpool.h"

namespace dromo::test {

class RecordingObserver : public TaskListObserver {
public:
    std::vector<std::string> events;
    std::string pane1, pane2;

    void RowInserted(int row) override { events.push_back("insert " + std::to_string(row)); }
    void RowRemoved(int row) override { events.push_back("remove " + std::to_string(row)); }
    void RowChanged(int row) override { events.push_back("change " + std::to_string(row)); }
    void StatusTexts(const std::string& p0, const std::string& p1, const std::string& p2) override
    {
        events.push_back("status '" + p0 + "'");
        pane1 = p1;
        pane2 = p2;
    }
};

class FakeWorkerPool : public WorkerPool {
public:
    int ruleA = 0;
    int ruleB = 0;
    bool ApplyRuleA() override { ++ruleA; return true; }
    bool ApplyRuleB() override { ++ruleB; return true; }
};

class FakeNetwork : public Network {
public:
    ConnectionState state{true, false};
    ConnectionState GetConnectedState() override { return state; }
};

}  // namespace dromo::test
