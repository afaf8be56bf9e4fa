#include "kelvoenc/StageThreads.h"

StageThreads::~StageThreads() {
    if (!m_threads.empty()) {
        m_abortAll();
        JoinAll();
    }
}

void StageThreads::Start(std::function<void()> stage) {
    m_threads.emplace_back([this, stage = std::move(stage)] {
        try {
            stage();
        } catch (...) {
            {
                std::lock_guard lock(m_mutex);
                if (!m_failure) m_failure = std::current_exception();
            }
            m_abortAll();
        }
    });
}

void StageThreads::JoinAll() {
    for (std::thread& thread : m_threads)
        if (thread.joinable()) thread.join();
    m_threads.clear();
}

void StageThreads::Join() {
    JoinAll();
    if (m_failure) std::rethrow_exception(m_failure);
}
