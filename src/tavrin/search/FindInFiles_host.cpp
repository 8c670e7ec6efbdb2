// The walk's file system on POSIX, for the host tests: symbolic links stand in for junctions.
#include <dirent.h>
#include <sys/stat.h>

#include <cstdio>

#include "FindInFiles.h"
#include "TextConv.h"

namespace findfiles {

namespace {

class PosixFileSystem : public FileSystem {
public:
    std::wstring Join(const std::wstring& folder, const std::wstring& name) const override { return folder + L"/" + name; }

    bool List(const std::wstring& folder, std::vector<Entry>& entries) override {
        const std::string f = WideToUtf8(folder);
        DIR* d = opendir(f.c_str());
        if (!d) return false;
        while (const dirent* e = readdir(d)) {
            const std::string name = e->d_name;
            if (name == "." || name == "..") continue;
            struct stat st {};
            const bool folder = stat((f + "/" + name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
            entries.push_back({Utf8ToWide(name), folder});
        }
        closedir(d);
        return true;
    }

    std::string FolderId(const std::wstring& folder) override {
        struct stat st {};
        if (stat(WideToUtf8(folder).c_str(), &st) != 0) return {};
        return std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino);
    }

    bool Read(const std::wstring& path, std::string& bytes) override {
        std::FILE* f = std::fopen(WideToUtf8(path).c_str(), "rb");
        if (!f) return false;
        bytes.clear();
        char buffer[65536];
        size_t n = 0;
        while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) bytes.append(buffer, n);
        const bool ok = !std::ferror(f);
        std::fclose(f);
        return ok;
    }
};

}  // namespace

std::unique_ptr<FileSystem> SystemFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace findfiles
