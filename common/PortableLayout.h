#pragma once
// The portable disk's layout on a USB drive, shared by the portable-drive maker that writes it and
// Agent that opens and moves the image within it. The names are stored on users' drives: they
// never change.
//
//   X:\{SEQUORA-WORK}\                      the work folder: Agent.exe, Agent.ini, Tavrin.dll
//       <image name>                        the work place: the image while it is in use
//       <image name>.unfinished             an image being made or copied, until it is whole
//       {NORVALIX-SEQUORA-...}\             the hiding folder (hidden, system), desktop.ini
//           aux\<image name>                the rest place: the image while no one uses it
#include <string>

class PortableLayout {
public:
    static constexpr char kWorkFolderName[] = "{SEQUORA-WORK}";
    static constexpr char kHidingFolderName[] = "{NORVALIX-SEQUORA-4FDD4DF77DEE}";
    // A device name: reached as a folder only with a trailing backslash or the "\\?\" form.
    static constexpr char kRestFolderName[] = "aux";
    static constexpr char kImageName[] = "{1A401BED-0CD1-4216-8848-4FDD4DF77DEE}";
    // Agent never looks at an image under this name: a drive pulled during a build shows no disk.
    static constexpr char kUnfinishedSuffix[] = ".unfinished";
    // The files beside the image in the work folder, and the hiding folder's shell file.
    static constexpr char kAgentExe[] = "Agent.exe";
    static constexpr char kAgentIni[] = "Agent.ini";
    static constexpr char kDriverLibrary[] = "Tavrin.dll";
    static constexpr char kDesktopIni[] = "desktop.ini";

    // `root` is "X:\" or a folder standing in for a drive, with its trailing backslash.
    explicit PortableLayout(std::string root);
    static PortableLayout OnDrive(char letter);

    const std::string& Root() const { return m_root; }
    std::string WorkFolder() const;
    std::string HidingFolder() const;
    std::string RestFolder() const;                  // the hiding folder's "aux"
    std::string WorkPlace() const;
    std::string RestPlace() const;
    std::string UnfinishedPlace() const;
    std::string InWorkFolder(const char* name) const;
    std::string InHidingFolder(const char* name) const;
    // The rest folder relative to the work folder ("{NORVALIX-...}\aux").
    static std::string RestFolderInWork();

private:
    std::string m_root;
};
