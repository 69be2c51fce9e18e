#pragma once
// A fake USB drive: a folder of the test's own mapped to a drive letter of removable type.
// Under Wine the mount manager's define-unix-drive control code makes the letter appear at once
// with working file I/O for every process of the prefix; the destructor (or Remove) takes it away
// again, which is also how a test "pulls" the drive.
#include <string>

namespace harness {

class FakeUsbDrive {
public:
    // Maps `folder` (created if missing) to `letter`, or to the first free letter from 'E' when
    // letter is 0. Check Letter() != 0 for success. A `serial` other than 0 is the volume's serial
    // number wherever the drive is plugged in, as a real stick's is (Wine reads it from the file
    // ".windows-serial" at the root); without one Wine makes it up from the letter.
    explicit FakeUsbDrive(const std::string& folder, char letter = 0, unsigned long serial = 0);
    ~FakeUsbDrive();
    FakeUsbDrive(const FakeUsbDrive&) = delete;
    FakeUsbDrive& operator=(const FakeUsbDrive&) = delete;

    char Letter() const { return m_letter; }
    std::string Root() const;                 // "E:\"
    const std::string& Folder() const { return m_folder; }
    bool IsMapped() const { return m_mapped; }

    bool Remove();                            // pull the drive; the folder's files stay
    bool Insert();                            // plug it in again on the same letter

private:
    std::string m_folder;
    char m_letter = 0;
    bool m_mapped = false;
};

// The mount manager's define-unix-drive request. `driveType` is a DRIVE_* value: DRIVE_REMOVABLE
// for a USB stick, DRIVE_FIXED for a hard disk, DRIVE_NO_ROOT_DIR to remove the letter.
bool DefineWineDrive(char letter, unsigned driveType, const std::string& unixFolder);

// The first letter from `from` to 'Y' that no drive uses; 0 when all are taken.
char FirstFreeDriveLetter(char from = 'E');

}  // namespace harness
