#include "platform/qt/QtDialogs.h"
#include "common/FileFilter.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace peldora {

namespace {
QMessageBox::Icon ToQt(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}
QMessageBox::StandardButtons ToQt(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::Ok: break;
    }
    return QMessageBox::Ok;
}
QString TitleOr(const QString& title) { return title.isEmpty() ? QStringLiteral("Peldora") : title; }
} // namespace

MessageAnswer QtDialogs::messageBox(const QString& text, MessageIcon icon, MessageButtons buttons,
                                    const QString& title) {
    QMessageBox box(ToQt(icon), TitleOr(title), text, ToQt(buttons), QApplication::activeWindow());
    switch (box.exec()) {
    case QMessageBox::Yes: return MessageAnswer::Yes;
    case QMessageBox::No: return MessageAnswer::No;
    case QMessageBox::Cancel: return MessageAnswer::Cancel;
    default: return MessageAnswer::Ok;
    }
}

std::optional<QString> QtDialogs::inputBox(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), TitleOr(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}

QString QtDialogs::openFile(const QString& title, const QString& filter,
                            const QString& initialPath) {
    return QDir::toNativeSeparators(
        QFileDialog::getOpenFileName(QApplication::activeWindow(), title, initialPath,
                                     QtFileFilter(filter)));
}

QString QtDialogs::saveFile(const QString& title, const QString& filter,
                            const QString& initialPath) {
    return QDir::toNativeSeparators(
        QFileDialog::getSaveFileName(QApplication::activeWindow(), title, initialPath,
                                     QtFileFilter(filter)));
}

std::optional<QString> QtDialogs::browseFolder(const QString& title, const QString& startFolder,
                                               bool includeFiles) {
    QString chosen;
    if (includeFiles) {
        chosen = QFileDialog::getOpenFileName(QApplication::activeWindow(), title, startFolder);
    } else {
        chosen = QFileDialog::getExistingDirectory(QApplication::activeWindow(), title, startFolder);
    }
    if (chosen.isEmpty()) return std::nullopt;
    return QDir::toNativeSeparators(chosen);
}

} // namespace peldora
