#include "TForm_Password.h"

#include "AgentDisk.h"
#include "AgentFormParts.h"
#include "AgentPictures.h"
#include "MainFrm.h"
#include "TApplication.h"

TForm_Password* Form_Password = nullptr;

namespace {

constexpr size_t kShortestPassword = 6;
constexpr WPARAM kDragMove = 0xF012;             // SC_MOVE by the mouse
// The driver's failure text as it always read, with its full-width exclamation mark.
constexpr wchar_t kWriteFailed[] = L"Tavrin_GetInfo Error\xFF01";
// The header field holds 259 bytes and a NUL: longer passwords are refused, never cut.
constexpr char kTooLong[] = "The new password is too long. Please use at most 259 characters.";

std::string AgentText(const char* section, const char* key) { return ReadLanguageString("Agent.ini", section, key); }

TskEdit* NewEdit(TComponent* owner, TWinControl* parent, const char* name, int top)
{
    auto* edit = new TskEdit(owner);
    edit->SetName(name);
    edit->SetParent(parent);
    edit->SetBounds(122, top, 178, 19);
    edit->SetPasswordChar('*');
    edit->SetBorderColor(clBlack);
    return edit;
}

TskImageButton* NewButton(TComponent* owner, TWinControl* parent, const char* name, int left, const char* caption)
{
    TskImageButton* button = NewPictureButton(owner, parent, name, left, 130, 90, 25, agentpic::kDialogButton);
    button->Font().SetColor(clWhite);
    button->Font().SetBold(true);
    button->SetDrawFocused(true);
    button->SetCaption(caption);
    return button;
}

TskImageButton* NewTitleButton(TComponent* owner, TWinControl* parent, const char* name, int left, int family)
{
    TskImageButton* button = NewPictureButton(owner, parent, name, left, 5, 20, 20, family);
    button->SetTabStop(false);
    return button;
}

bool HasByteIn(const std::string& text, bool (*inClass)(unsigned char))
{
    for (const char ch : text)
        if (inClass(static_cast<unsigned char>(ch)))
            return true;
    return false;
}

}  // namespace

bool HasDigit(const std::string& text)
{
    return HasByteIn(text, [](unsigned char c) { return c >= '0' && c <= '9'; });
}

bool HasUpperCase(const std::string& text)
{
    return HasByteIn(text, [](unsigned char c) { return c >= 'A' && c <= 'Z'; });
}

bool HasLowerCase(const std::string& text)
{
    return HasByteIn(text, [](unsigned char c) { return c >= 'a' && c <= 'z'; });
}

// Blank and the ASCII punctuation; bytes from 0x80 up belong to no class.
bool HasSymbol(const std::string& text)
{
    return HasByteIn(text, [](unsigned char c) {
        return (c >= 0x20 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
               (c >= 0x7B && c <= 0x7F);
    });
}

int PasswordStrength(const std::string& text)
{
    return int(HasDigit(text)) + int(HasUpperCase(text)) + int(HasLowerCase(text)) + int(HasSymbol(text));
}

TForm_Password::TForm_Password(TComponent* owner, const AgentDisk& disk) : TForm(owner), m_disk(disk)
{
    BeginLoading();
    SetName("Form_Password");
    SetBorderStyle(bsNone);
    SetPosition(poMainFormCenter);
    SetClientWidth(361);
    SetClientHeight(191);
    SetColor(clBtnFace);
    SetCaption("Change Password");
    Font().SetName("Tahoma");
    Font().SetHeight(-11);
    OnCreate = MethodOf(this, &TForm_Password::FormCreate);

    const TMouseEvent drag = MouseMethodOf(this, &TForm_Password::skImagePanel1MouseDown);
    skImagePanel1 = NewBackgroundPanel(this, this, 0, 361, 193, agentpic::kPasswordBackground, drag);
    lblTop = NewTitleLabel(this, skImagePanel1, drag);
    lblNewPassword_Tip = NewLabel(this, skImagePanel1, 37, 53);
    lblConfirmPassword_Tip = NewLabel(this, skImagePanel1, 21, 100);
    Label5 = NewLabel(this, skImagePanel1, 122, 77);
    Label5->SetCaption("Minimum of 6 characters in length.");
    lblStrenth = NewLabel(this, skImagePanel1, 306, 54);

    btnFrmMin = NewTitleButton(this, skImagePanel1, "btnFrmMin", 310, agentpic::kMinimize);
    btnFrmMin->OnClick = MethodOf(this, &TForm_Password::btnFrmMinClick);
    btnFrmClose = NewTitleButton(this, skImagePanel1, "btnFrmClose", 330, agentpic::kClose);
    btnFrmClose->SetShowHint(true);
    btnFrmClose->OnClick = MethodOf(this, &TForm_Password::btnFrmCloseClick);

    bt_OK = NewButton(this, skImagePanel1, "bt_OK", 122, "&Change");
    bt_OK->SetDefault(true);
    bt_OK->OnClick = MethodOf(this, &TForm_Password::bt_OKClick);
    bt_cancel = NewButton(this, skImagePanel1, "bt_cancel", 240, "&Cancel");
    bt_cancel->OnClick = MethodOf(this, &TForm_Password::bt_cancelClick);

    et_pw = NewEdit(this, skImagePanel1, "et_pw", 51);
    et_pw->OnChange = MethodOf(this, &TForm_Password::et_pwChange);
    et_pw2 = NewEdit(this, skImagePanel1, "et_pw2", 97);
    SetActiveControl(et_pw);

    FinishBuilding();
}

void TForm_Password::FormCreate(TObject*)
{
    const TIniFile::Values texts = ReadLanguageSection("Agent.ini", "Main");
    lblTop->SetCaption(TextOf(texts, "ChangePasswordTitle"));
    lblNewPassword_Tip->SetCaption(TextOf(texts, "lblNewPassword_Tip"));
    lblConfirmPassword_Tip->SetCaption(TextOf(texts, "lblConfirmPassword_Tip"));
}

int TForm_Password::Say(const std::string& text, UINT flags)
{
    return MessageBoxA(Handle(), text.c_str(), DialogCaption.c_str(), flags);
}

void TForm_Password::bt_OKClick(TObject*)
{
    const std::string password = et_pw->Text();
    const std::string confirmation = et_pw2->Text();
    // Whatever the outcome, both are typed again.
    et_pw->SetText(std::string());
    et_pw2->SetText(std::string());
    et_pwChange(et_pw);
    DialogCaption = Application->Title();

    const std::string path = m_disk.WorkPlace();
    ImageHeader header;
    if (!AgentDisk::ReadHeader(path, header)) {
        Say(AgentText("Main", "strReadFailed"), MB_ICONWARNING);
        return;
    }
    if (password.empty()) {
        Say(AgentText("DlgChange", "hit3"), MB_ICONWARNING);
        return;
    }
    if (password.size() < kShortestPassword) {
        Say(AgentText("DlgChange", "lbHitLen"), MB_ICONERROR);
        return;
    }
    if (password.size() > AgentDisk::kLongestPassword) {
        Say(kTooLong, MB_ICONWARNING);
        return;
    }
    if (confirmation.empty()) {
        Say(AgentText("DlgChange", "hit4"), MB_ICONWARNING);
        return;
    }
    // Byte for byte: the header keeps bytes, and a linguistic comparison calls some different
    // strings equal.
    if (confirmation != password) {
        Say(AgentText("DlgChange", "hit5"), MB_ICONWARNING);
        return;
    }
    if (!AgentDisk::SetStoredPassword(header, password) || !AgentDisk::WriteHeader(path, header)) {
        MessageBoxW(Handle(), kWriteFailed, ToUtf16(DialogCaption).data(), MB_ICONWARNING);
        return;
    }
    Say(AgentText("DlgChange", "hit6"), MB_ICONINFORMATION);
    SetModalResult(mrOk);
}

void TForm_Password::et_pwChange(TObject*)
{
    const std::string text = et_pw->Text();
    if (text.empty()) {
        lblStrenth->SetCaption(std::string());
        return;
    }
    int strength = PasswordStrength(text);
    if (text.size() < kShortestPassword) {
        lblStrenth->SetCaption(AgentText("DlgChange", "Hit7"));
        strength = 0;
    }
    static const char* const kLevels[] = {"Hit8", "Hit9", "Hit10", "Hit11"};
    if (strength >= 1 && strength <= 4)
        lblStrenth->SetCaption(AgentText("DlgChange", kLevels[strength - 1]));
}

void TForm_Password::bt_cancelClick(TObject*) { Close(); }

void TForm_Password::btnFrmCloseClick(TObject*) { Close(); }

void TForm_Password::btnFrmMinClick(TObject*) { SendMessageA(Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0); }

void TForm_Password::skImagePanel1MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    ReleaseCapture();
    SendMessageA(Handle(), WM_SYSCOMMAND, kDragMove, 0);
}
