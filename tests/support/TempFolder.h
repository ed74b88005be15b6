#pragma once
// A fresh folder under the test temp folder, removed with its contents after the test.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = ::testing::TempDir() + "qs_test_XXXXXX";
        if (mkdtemp(pattern.data())) m_path = pattern;
    }
    ~TempFolder()
    {
        if (m_path.empty()) return;
        std::error_code ignored;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

    void Write(const std::string& name, const std::string& content) const
    {
        std::ofstream(m_path + "/" + name, std::ios::binary) << content;
    }
    std::string Read(const std::string& name) const
    {
        std::ifstream f(m_path + "/" + name, std::ios::binary);
        if (!f) return "<missing>";
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }

private:
    std::string m_path;
};
