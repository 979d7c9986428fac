#include "support/TempDir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

TempDir::TempDir()
{
    char tmpl[] = "/tmp/brimvale-test-XXXXXX";
    const char* made = ::mkdtemp(tmpl);
    m_path = made ? made : "/tmp";
}

TempDir::~TempDir()
{
    std::error_code ec;
    if (m_path != "/tmp")
        std::filesystem::remove_all(m_path, ec);
}

void TempDir::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream out(File(name), std::ios::binary);
    out << bytes;
}

std::string TempDir::Read(const std::string& name) const
{
    std::ifstream in(File(name), std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

ScopedChdir::ScopedChdir(const std::string& dir)
{
    char buf[4096];
    if (::getcwd(buf, sizeof buf))
        m_old = buf;
    if (::chdir(dir.c_str()) != 0)
        m_old.clear();
}

ScopedChdir::~ScopedChdir()
{
    if (!m_old.empty() && ::chdir(m_old.c_str()) != 0) {
    }
}
