#pragma once
// The change-password dialog: shown modally once the current password typed on the main form has
// matched the image's header; takes the new password twice, shows its strength while it is typed
// and writes it into the header's password field, nothing else of the header changing.
#include "AgentDisk.h"
#include "TForm.h"
#include "TLabel.h"
#include "TskEdit.h"
#include "TskImageButton.h"
#include "TskImagePanel.h"

#include <string>

class TForm_Password : public TForm {
public:
    // `disk`: the image whose header takes the new password, which outlives the dialog.
    TForm_Password(TComponent* owner, const AgentDisk& disk);

    const char* ClassName() const override { return "TForm_Password"; }

    void FormCreate(TObject* sender);
    void bt_OKClick(TObject* sender);
    void et_pwChange(TObject* sender);
    void bt_cancelClick(TObject* sender);
    void btnFrmCloseClick(TObject* sender);
    void btnFrmMinClick(TObject* sender);
    void skImagePanel1MouseDown(TObject* sender, TMouseButton button, TShiftState shift, int x, int y);

    // The application title, taken at each press of Change: the caption of the dialog's messages.
    std::string DialogCaption;

    TskImagePanel* skImagePanel1;
    TLabel* lblTop;
    TLabel* lblNewPassword_Tip;
    TLabel* lblConfirmPassword_Tip;
    TLabel* Label5;
    TLabel* lblStrenth;
    TskImageButton* btnFrmMin;
    TskImageButton* btnFrmClose;
    TskImageButton* bt_OK;
    TskImageButton* bt_cancel;
    TskEdit* et_pw;
    TskEdit* et_pw2;

private:
    const AgentDisk& m_disk;
    int Say(const std::string& text, UINT flags);
};

// The character classes of a password (bytes, as typed in the ANSI code page) and how many of the
// four it uses.
bool HasDigit(const std::string& text);
bool HasUpperCase(const std::string& text);
bool HasLowerCase(const std::string& text);
bool HasSymbol(const std::string& text);
int PasswordStrength(const std::string& text);

extern TForm_Password* Form_Password;
