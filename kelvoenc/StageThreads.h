#pragma once

#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The threads of the pipeline's stages. The first stage that fails records
// its exception and calls the abort function so the others stop too.
class StageThreads {
public:
    explicit StageThreads(std::function<void()> abortAll) : m_abortAll(std::move(abortAll)) {}
    StageThreads(const StageThreads&) = delete;
    StageThreads& operator=(const StageThreads&) = delete;
    ~StageThreads();

    void Start(std::function<void()> stage);
    // Waits for every stage; then rethrows the first failure, if any.
    void Join();

private:
    void JoinAll();

    std::function<void()> m_abortAll;
    std::vector<std::thread> m_threads;
    std::mutex m_mutex;
    std::exception_ptr m_failure;
};
