#pragma once

// A file of the fuzzer's bytes in a folder of its own, for the readers that take
// a path. Whatever a reader leaves beside the file (a corrupt one kept aside) is
// cleared after each input, so every input meets the same empty folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

class ScratchFile {
public:
    ScratchFile(const char* name, const std::uint8_t* data, std::size_t size) : path_(folder() / name)
    {
        std::ofstream(path_, std::ios::binary).write(reinterpret_cast<const char*>(data), static_cast<long>(size));
    }
    ~ScratchFile()
    {
        for (const auto& entry : std::filesystem::directory_iterator(folder()))
            std::filesystem::remove_all(entry.path());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    static const std::filesystem::path& folder()
    {
        static const Folder folder;
        return folder.path;
    }

    struct Folder {
        Folder()
        {
            std::string pattern = (std::filesystem::temp_directory_path() / "norvale-fuzz-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                throw std::runtime_error("no temporary folder");
            path = pattern;
        }
        ~Folder() { std::filesystem::remove_all(path); }
        std::filesystem::path path;
    };

    std::filesystem::path path_;
};
