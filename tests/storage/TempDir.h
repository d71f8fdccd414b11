#pragma once
// A fresh folder per test, removed afterwards, with small file helpers.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

class TempDirTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "corvane-XXXXXX").string();
        ASSERT_NE(::mkdtemp(strTemplate.data()), nullptr);
        m_strDir = strTemplate + "/";
    }
    void TearDown() override { std::filesystem::remove_all(m_strDir); }

    std::string Path(const std::string& strName) const { return m_strDir + strName; }

    static void WriteRaw(const std::string& strPath, const std::string& strContent)
    {
        std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
        out << strContent;
    }
    static std::string ReadRaw(const std::string& strPath)
    {
        std::ifstream in(strPath, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }
    static bool Exists(const std::string& strPath) { return std::filesystem::exists(strPath); }

    std::string m_strDir;
};
