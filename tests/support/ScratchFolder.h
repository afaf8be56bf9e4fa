#pragma once

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <string>

// A GoogleTest fixture with an empty folder of its own, removed afterwards.
class ScratchFolder : public ::testing::Test {
protected:
    void SetUp() override {
        m_root = std::filesystem::temp_directory_path() / ("tarvine-scratch-" + std::to_string(::getpid()));
        std::filesystem::remove_all(m_root);
        std::filesystem::create_directories(m_root);
    }
    void TearDown() override { std::filesystem::remove_all(m_root); }

    std::string At(const std::string& relative) const { return (m_root / relative).string(); }
    // Writes a small file, or the content given.
    std::string Write(const std::string& relative, const std::string& content = "x") const {
        std::ofstream(m_root / relative, std::ios::binary | std::ios::trunc) << content;
        return At(relative);
    }

    std::filesystem::path m_root;
};
