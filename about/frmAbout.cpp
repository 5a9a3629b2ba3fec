#include "frmAbout.h"

#include "app/Maker.h"

#include <QGuiApplication>
#include <QPalette>

using forms::arial;
using forms::twipsRect;

frmAbout::frmAbout()
    : Form(6840, 3330, forms::Border::FixedDialog, forms::StartPosition::CenterOwner)
{
    QWidget* area = client();
    // Created in tab order: OK first, so it has the focus when the window opens.
    cmdOK = new forms::CommandButton(area, twipsRect(5340, 2760, 1260, 330), arial(8.25, true), QStringLiteral("&OK"));
    picIcon = new forms::PictureBox(area, QPoint(forms::twipsToPixels(240), forms::twipsToPixels(240)),
                                    QPixmap(QStringLiteral(":/logo.png")));
    lblDescription = new forms::Label(area, twipsRect(2025, 1245, 1545, 255), arial(11.25, false));
    lblDescription->setAutoSize(true);
    lblDescription->setForeColor(Qt::black);
    lblTitle = new forms::Label(area, twipsRect(2025, 240, 4275, 360), arial(15.75, true));
    lblTitle->setAccessKeyMarking(false);
    lblTitle->setForeColor(Qt::black);
    lblVersion = new forms::Label(area, twipsRect(2025, 645, 3135, 255), arial(11.25, false, true));
    lblLink = new forms::Label(area, twipsRect(2040, 1550, 390, 255), arial(11.25, false, false, true));
    lblLink->setAutoSize(true);
    lblLink->setForeColor(QGuiApplication::palette().color(QPalette::Highlight));
    lblLink->setMouseTracking(true);
    lblCredits = new forms::Label(area, twipsRect(240, 2280, 615, 240), arial(9.75, false));
    lblCredits->setAutoSize(true);
    lblCredits->setForeColor(Qt::black);

    setDefaultButton(cmdOK);
    setCancelButton(cmdOK);
    setKeyPreview(true);

    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdOK->KeyDown = [this](int& keyCode, int& shift) { cmdOK_KeyDown(keyCode, shift); };
    KeyDown = [this](int& keyCode, int& shift) { Form_KeyDown(keyCode, shift); };
    lblLink->MouseMove = [this] { lblLink_MouseMove(); };
    lblLink->Click = [this] { lblLink_Click(); };
    cmdOK->setFocus();
}

QString frmAbout::webAddress()
{
    return QStringLiteral("https://") + QString::fromUtf16(pellacrest::kWebDomain);
}

void frmAbout::Form_Load()
{
    const forms::Application& app = forms::App();
    setCaption(QStringLiteral("About ") + app.Title);
    lblVersion->setCaption(QStringLiteral("Version %1.%2.%3").arg(app.Major).arg(app.Minor).arg(app.Revision));
    lblTitle->setCaption(app.Title);
    lblDescription->setCaption(QStringLiteral("\u00A9 2026 The Pellacrest developers"));
    lblLink->setCaption(webAddress());
    lblCredits->setCaption(QStringLiteral("Programming: the Pellacrest developers\r\n"
                                          "Pre-release testing: our early users"));
}

void frmAbout::cmdOK_Click() { Unload(); }

void frmAbout::lblLink_MouseMove() { SetMouseCursor(forms::kSystemHandCursor); }

void frmAbout::SetMouseCursor(int cursorId) { forms::SetMouseCursor(cursorId); }

void frmAbout::lblLink_Click()
{
    try {
        forms::Shell(forms::platformOpener(), {webAddress()});
    } catch (const forms::RuntimeError&) {
        // No browser to be had is no reason to end the program and lose the puzzle.
        forms::MsgBox(QStringLiteral("The web page could not be opened: no web browser could be started.\n\n"
                                     "The address is %1").arg(webAddress()),
                      forms::MsgBoxStyle::Exclamation);
    }
}
