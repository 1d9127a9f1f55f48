// A stand-in for the WinRAR archiver, for tests and demos: not a RAR packer. It also builds as a Windows
// console program (MinGW-w64) for the runs through wine. It understands the one command line the
// builder gives it,
//     WinRAR a -r -ep1 <archive> <folder><sep>*.*
// and packs <folder> (recursing, names relative to it) into <archive> in a simple deterministic format:
//     "ZELVAKON STAND-IN ARCHIVE 1\n", then per file in byte order of its relative path:
//     "F <size> <path>\n" followed by the file's bytes.
// Like "a" of the real archiver it adds to an existing archive: the new entries follow the old bytes.
//
// Environment:
//     ZELVAKON_RAR_LOG=<file>     write the arguments there, one per line
//     ZELVAKON_RAR_EXIT=<code>    exit with this code (after packing)
//     ZELVAKON_RAR_NO_ARCHIVE=1   write no archive
//     ZELVAKON_RAR_FLOOD=<bytes>  write this many bytes to stdout and to stderr first
//     ZELVAKON_RAR_SLEEP_MS=<ms>  sleep this long first
//     ZELVAKON_RAR_KILL=1         end killed by SIGKILL (a crash)
//     ZELVAKON_RAR_HANG=1         never end after packing (until a signal ends it)
//     ZELVAKON_RAR_LINK=<file>    make the archive a hard link to <file> (a copy where linking fails)
//                                 instead of packing: benchmarks get a big archive for nothing
//     ZELVAKON_RAR_SLOW_MS=<ms>   write the archive 4 KiB at a time, sleeping this long after each piece,
//                                 so that it grows on disk as a real archiver's does over minutes
//     ZELVAKON_RAR_PID=<file>     write the process id there first
//     ZELVAKON_RAR_IGNORE_TERM=1  ignore SIGTERM (only SIGKILL ends it)
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>
#ifndef _WIN32
#include <unistd.h>
#else
#include <process.h>
#define getpid _getpid
#endif

namespace fs = std::filesystem;

namespace {

const char* Env(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value ? value : nullptr;
}

void Flood(long long bytes)
{
    std::string block(65536, 'x');
    for (std::FILE* stream : {stdout, stderr}) {
        for (long long left = bytes; left > 0;) {
            const size_t n = size_t(std::min<long long>(left, (long long)block.size()));
            if (std::fwrite(block.data(), 1, n, stream) != n)
                break;
            left -= (long long)n;
        }
        std::fflush(stream);
    }
}

bool Pack(const fs::path& folder, const fs::path& archive)
{
    std::vector<std::pair<std::string, fs::path>> files;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(folder, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file())
            files.emplace_back(fs::relative(it->path(), folder).generic_string(), it->path());
    }
    if (ec)
        return false;
    std::sort(files.begin(), files.end());

    const bool adding = fs::exists(archive);
    std::ofstream out(archive, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    if (!adding)
        out << "ZELVAKON STAND-IN ARCHIVE 1\n";
    const char* slow = Env("ZELVAKON_RAR_SLOW_MS");
    std::vector<char> buffer(slow ? 4096 : 1 << 16);
    for (const auto& [name, path] : files) {
        std::ifstream in(path, std::ios::binary);
        if (!in)
            return false;
        out << "F " << fs::file_size(path) << ' ' << name << '\n';
        while (in) {
            in.read(buffer.data(), std::streamsize(buffer.size()));
            out.write(buffer.data(), in.gcount());
            if (slow) {
                out.flush();
                std::this_thread::sleep_for(std::chrono::milliseconds(std::atoll(slow)));
            }
        }
    }
    return bool(out.flush());
}

}  // namespace

int main(int argc, char* argv[])
{
    if (const char* pidFile = Env("ZELVAKON_RAR_PID"))
        std::ofstream(pidFile, std::ios::binary | std::ios::trunc) << getpid() << '\n';
    if (Env("ZELVAKON_RAR_IGNORE_TERM"))
        std::signal(SIGTERM, SIG_IGN);
    if (const char* log = Env("ZELVAKON_RAR_LOG")) {
        std::ofstream out(log, std::ios::binary | std::ios::trunc);
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
    }
    if (const char* ms = Env("ZELVAKON_RAR_SLEEP_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoll(ms)));
    if (const char* bytes = Env("ZELVAKON_RAR_FLOOD"))
        Flood(std::atoll(bytes));
#ifndef _WIN32
    if (Env("ZELVAKON_RAR_KILL"))
        std::raise(SIGKILL);
#endif

    // a, switches, archive, folder mask
    std::vector<std::string> words;
    for (int i = 1; i < argc; ++i)
        if (argv[i][0] != '-')
            words.push_back(argv[i]);
    if (words.size() != 3 || words[0] != "a") {
        std::fprintf(stderr, "usage: WinRAR a [-switches] <archive> <folder>/*.*\n");
        return 7;  // the real archiver's code for a wrong command line
    }
    std::string mask = words[2];
    for (const char* suffix : {"/*.*", "\\*.*"})
        if (mask.size() >= 4 && mask.compare(mask.size() - 4, 4, suffix) == 0)
            mask.resize(mask.size() - 4);
    if (const char* prepared = Env("ZELVAKON_RAR_LINK")) {
        std::error_code ec;
        fs::create_hard_link(prepared, words[1], ec);
        if (ec && !fs::copy_file(prepared, words[1], fs::copy_options::overwrite_existing, ec)) {
            std::fprintf(stderr, "cannot link %s to %s\n", prepared, words[1].c_str());
            return 2;
        }
    } else if (!Env("ZELVAKON_RAR_NO_ARCHIVE") && !Pack(fs::path(mask), fs::path(words[1]))) {
        std::fprintf(stderr, "cannot pack %s into %s\n", mask.c_str(), words[1].c_str());
        return 2;
    }
    if (Env("ZELVAKON_RAR_HANG"))
        for (;;)
#ifdef _WIN32
            std::this_thread::sleep_for(std::chrono::hours(1));
#else
            pause();
#endif
    if (const char* code = Env("ZELVAKON_RAR_EXIT"))
        return std::atoi(code);
    return 0;
}
