#include "ui/Dialogs.h"

#include "ui/Application.h"

int ButtonResult(TMsgDlgBtn button) {
    switch (button) {
        case TMsgDlgBtn::mbYes: return mrYes;
        case TMsgDlgBtn::mbNo: return mrNo;
        case TMsgDlgBtn::mbOK: return mrOk;
        case TMsgDlgBtn::mbCancel: return mrCancel;
        case TMsgDlgBtn::mbAbort: return mrAbort;
        case TMsgDlgBtn::mbRetry: return mrRetry;
        case TMsgDlgBtn::mbIgnore: return mrIgnore;
        case TMsgDlgBtn::mbAll: return mrAll;
        case TMsgDlgBtn::mbNoToAll: return mrNoToAll;
        case TMsgDlgBtn::mbYesToAll: return mrYesToAll;
        case TMsgDlgBtn::mbHelp: return mrNone;
    }
    return mrNone;
}

std::string DlgTypeName(TMsgDlgType type) {
    switch (type) {
        case TMsgDlgType::mtWarning: return "Warning";
        case TMsgDlgType::mtError: return "Error";
        case TMsgDlgType::mtInformation: return "Information";
        case TMsgDlgType::mtConfirmation: return "Confirmation";
        case TMsgDlgType::mtCustom: return "Custom";
    }
    return "Custom";
}

std::string ButtonName(TMsgDlgBtn button) {
    switch (button) {
        case TMsgDlgBtn::mbYes: return "Yes";
        case TMsgDlgBtn::mbNo: return "No";
        case TMsgDlgBtn::mbOK: return "OK";
        case TMsgDlgBtn::mbCancel: return "Cancel";
        case TMsgDlgBtn::mbAbort: return "Abort";
        case TMsgDlgBtn::mbRetry: return "Retry";
        case TMsgDlgBtn::mbIgnore: return "Ignore";
        case TMsgDlgBtn::mbAll: return "All";
        case TMsgDlgBtn::mbNoToAll: return "NoToAll";
        case TMsgDlgBtn::mbYesToAll: return "YesToAll";
        case TMsgDlgBtn::mbHelp: return "Help";
    }
    return "?";
}

IDialogService& Dialogs() { return Application().DialogService(); }

int MessageDlg(const std::string& text, TMsgDlgType type, const TMsgDlgButtons& buttons, int helpContext) {
    return Dialogs().MessageBox(text, type, buttons, helpContext);
}

void ShowMessage(const std::string& text) {
    Dialogs().MessageBox(text, TMsgDlgType::mtCustom, {TMsgDlgBtn::mbOK}, 0);
}
