#pragma once
// Every drive reports the file system of the test's choice to the wizard, through the portable-drive
// maker's volume query (Wine reports NTFS for every drive); the real query is back when the object
// goes. A null name answers that the volume cannot be read.
class FakeFileSystem {
public:
    explicit FakeFileSystem(const char* name);
    ~FakeFileSystem();
    FakeFileSystem(const FakeFileSystem&) = delete;
    FakeFileSystem& operator=(const FakeFileSystem&) = delete;

    void Set(const char* name);
};
