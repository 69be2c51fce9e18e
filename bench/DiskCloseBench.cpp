#include "DiskCloseBench.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "CWizardDlg.h"
#include "FileWork.h"
#include "HandleOwner.h"
#include "ImageHeader.h"
#include "Paths.h"
#include "Tavrin.h"

namespace {

constexpr int kSmallFiles = 100;
constexpr int kFolders = 10;
constexpr uint64_t kBigFileBytes = 256 * kMiB;
constexpr int kRoomMb = 256;                       // the image's room beyond its data
constexpr DWORD kChunk = 4u << 20;
constexpr double kOpenGoal = 1.0;                  // an open within a plain copy of the data
constexpr double kCloseAllGoal = 1.1;              // writing everything back within 1.1x a plain copy
constexpr double kSmallCloseSeconds = 0.5;         // a close with little or nothing to write
constexpr char kChangedFile[] = "folder0\\small0.txt";

std::string SizeText(int sizeMb)
{
    return sizeMb % 1024 == 0 ? std::to_string(sizeMb / 1024) + " GiB" : std::to_string(sizeMb) + " MiB";
}

std::wstring Wide(const std::string& text)
{
    const int n = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide.data(), n);
    return wide.data();
}

bool WriteWholeFile(const std::string& path, uint64_t bytes, char fill)
{
    const KernelHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    std::vector<char> chunk(static_cast<size_t>(std::min<uint64_t>(bytes, kChunk)), fill);
    bool ok = true;
    for (uint64_t done = 0; ok && done < bytes;) {
        const DWORD size = static_cast<DWORD>(std::min<uint64_t>(bytes - done, chunk.size()));
        DWORD written = 0;
        ok = WriteFile(file.Get(), chunk.data(), size, &written, nullptr) && written == size;
        done += size;
    }
    return ok;
}

// A user's disk: a hundred small documents in ten folders and big files making up the rest.
bool FillDisk(const std::string& root, int dataMb)
{
    bool ok = true;
    for (int f = 0; f < kFolders; ++f)
        ok = CreateDirectoryA((root + "folder" + std::to_string(f)).c_str(), nullptr) && ok;
    for (int i = 0; ok && i < kSmallFiles; ++i)
        ok = WriteWholeFile(root + "folder" + std::to_string(i % kFolders) + "\\small" + std::to_string(i) + ".txt",
                            4096 + (i * 37) % 4096, static_cast<char>('a' + i % 26));
    const uint64_t total = uint64_t(dataMb) * kMiB;
    for (uint64_t done = 0, index = 0; ok && done < total; ++index) {
        const uint64_t size = std::min(kBigFileBytes, total - done);
        ok = WriteWholeFile(root + "big" + std::to_string(index) + ".bin", size, static_cast<char>(index + 1));
        done += size;
    }
    return ok;
}

// A careful copier's copy: every file read and written in 4 MiB pieces and flushed to the disk.
bool CopyFlushed(const std::string& from, const std::string& to, std::vector<char>& chunk)
{
    const KernelHandle source(CreateFileA(from.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                          FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!source)
        return false;
    const KernelHandle target(CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    bool ok = static_cast<bool>(target);
    for (DWORD read = 1; ok && read > 0;) {
        ok = ReadFile(source.Get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr) != FALSE;
        DWORD written = 0;
        ok = ok && (read == 0 || (WriteFile(target.Get(), chunk.data(), read, &written, nullptr) && written == read));
    }
    if (target)
        ok = FlushFileBuffers(target.Get()) && ok;
    return ok;
}

uint64_t FreeBytes(const std::string& folder)
{
    ULARGE_INTEGER available = {};
    return GetDiskFreeSpaceExA(folder.c_str(), &available, nullptr, nullptr) ? available.QuadPart : 0;
}

void Progress(const std::string& what)
{
    std::fprintf(stderr, "  ... %s\n", what.c_str());
}

}  // namespace

DiskCloseBench::DiskCloseBench(const std::string& folder, int runs) : m_folder(folder), m_runs(runs)
{
    harness::DeleteFolderTree(m_folder);
    CreateDirectoryA(m_folder.c_str(), nullptr);
}

DiskCloseBench::~DiskCloseBench()
{
    harness::DeleteFolderTree(m_folder);
}

void DiskCloseBench::Measure(int dataMb, BenchTable& table)
{
    const std::string size = SizeText(dataMb);
    const std::string figure = "disk holding " + size + ": ";
    const std::string reference = "plain copy of its " + size + ", flushed";
    Progress(figure + "open and close");
    // The image, the disk's files while it is mounted and the plain copy at once.
    const uint64_t need = 3 * (uint64_t(dataMb) + kRoomMb) * kMiB;
    if (FreeBytes(m_folder) < need) {
        table.AddFailure(figure + "open and close", "less than " + std::to_string(need / kMiB) + " MiB free");
        return;
    }
    const std::string image = harness::JoinPath(m_folder, "closing.sqv");
    const std::string copy = harness::JoinPath(m_folder, "plain-copy");
    const uint32_t letter = Tavrin_FindFreeDriveLetter();
    const std::string root = std::string(1, static_cast<char>(letter)) + ":\\";
    const ImageHeader header = CWizardDlg::MakeImageHeader("Bench123!", 'K', dataMb + kRoomMb, "bench");
    std::vector<char> chunk(kChunk);
    auto mount = [&] { return Tavrin_Mount(Wide(image).c_str(), letter, 0) != 0; };
    auto dismount = [&] { return Tavrin_Unmount(letter, 0) != 0; };

    std::vector<double> allWritten, opened, unchanged, smallChange, plainCopy;
    bool ok = letter != 0;
    for (int run = 0; ok && run < m_runs; ++run) {
        int32_t context = 0;
        ok = Tavrin_CreateImage(Wide(image).c_str(), &header, nullptr, &context) == kTavrinCreated && mount() &&
             FillDisk(root, dataMb);
        allWritten.push_back(TimeSeconds(dismount, ok));
        opened.push_back(TimeSeconds(mount, ok));
        unchanged.push_back(TimeSeconds(dismount, ok));
        ok = ok && mount() && WriteWholeFile(root + kChangedFile, 4096, static_cast<char>('A' + run));
        smallChange.push_back(TimeSeconds(dismount, ok));
        ok = ok && mount();
        plainCopy.push_back(TimeSeconds(
            [&] {
                return CopyTree(root.substr(0, 2), copy, [&](const std::string& from, const std::string& to) {
                    return CopyFlushed(from, to, chunk);
                });
            },
            ok));
        harness::DeleteFolderTree(copy);
        ok = dismount() && ok;
        ok = DeleteFileA(image.c_str()) && ok;
    }
    if (!ok)
        Tavrin_Unmount(letter, 0);   // whatever a failed step left mounted
    DeleteFileA(image.c_str());
    if (!ok) {
        table.AddFailure(figure + "open and close", "a mount, a dismount or a copy failed");
        return;
    }
    const double copyTime = Median(plainCopy);
    table.AddRatio(figure + "open", Median(opened), reference, copyTime, "s", BenchTable::Goal::kTimeAtMost, kOpenGoal);
    table.AddRatio(figure + "close after writing all of it", Median(allWritten), reference, copyTime, "s",
                   BenchTable::Goal::kTimeAtMost, kCloseAllGoal);
    table.AddRatio(figure + "close unchanged", Median(unchanged), reference, copyTime, "s",
                   BenchTable::Goal::kSecondsAtMost, kSmallCloseSeconds);
    table.AddRatio(figure + "close after one 4 KiB change", Median(smallChange), reference, copyTime, "s",
                   BenchTable::Goal::kSecondsAtMost, kSmallCloseSeconds);
}
