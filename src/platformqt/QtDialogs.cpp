#include "QtDialogs.h"
#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include "BitmapData.h"
#include "RegularFile.h"
#include <QBuffer>
#include <QImageReader>
#include <QLabel>
#include <QMessageBox>

MsgAnswer QtDialogs::MessageBox(const QString& text, const QString& title, MsgIcon icon, MsgButtons buttons)
{
    QMessageBox box(Parent);
    box.setWindowTitle(title);
    box.setText(text);
    // In the order of MsgIcon.
    static const QMessageBox::Icon icons[] = {QMessageBox::NoIcon, QMessageBox::Information, QMessageBox::Warning,
                                              QMessageBox::Critical, QMessageBox::Question};
    box.setIcon(icons[int(icon)]);
    if (buttons == MsgButtons::YesNoCancel) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ano"));
        box.button(QMessageBox::No)->setText(QStringLiteral("&Ne"));
        box.button(QMessageBox::Cancel)->setText(QStringLiteral("Storno"));
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return MsgAnswer::Yes;
    case QMessageBox::No: return MsgAnswer::No;
    case QMessageBox::Cancel: return MsgAnswer::Cancel;
    default: return buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::Cancel;
    }
}

// "Text (*.x)|*.X|Other (*.y)|*.Y" as Qt's ";;" filter list, each pattern in lower and upper case.
static QString QtFilter(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            patterns << pattern.toLower();
            if (pattern.toUpper() != pattern.toLower())
                patterns << pattern.toUpper();
        }
        out << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

// A pane beside the file list that shows the picture under the cursor, scaled down to fit.
static void AddPicturePreview(QFileDialog& dialog)
{
    auto* grid = qobject_cast<QGridLayout*>(dialog.layout());
    if (!grid)
        return;
    const QSize paneSize(180, 140);
    auto* preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("PicturePreview"));
    preview->setFixedSize(paneSize);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    grid->addWidget(preview, 0, grid->columnCount(), grid->rowCount(), 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview, paneSize](const QString& path) {
        // Only a regular file, read whole: a FIFO under the cursor would hang the dialog, and a
        // bitmap cut short would show leftover memory.
        QByteArray bytes;
        QBuffer buffer(&bytes);
        if (!ReadRegularFile(path, qint64(64) << 20, bytes).isEmpty() || !buffer.open(QIODevice::ReadOnly)
            || (bytes.startsWith("BM") && !BitmapDataFault(buffer, bytes.size()).isEmpty())) {
            preview->setPixmap(QPixmap());
            return;
        }
        buffer.seek(0);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        const QSize room = paneSize - QSize(4, 4);
        if (size.isValid() && (size.width() > room.width() || size.height() > room.height()))
            reader.setScaledSize(size.scaled(room, Qt::KeepAspectRatio));
        preview->setPixmap(QPixmap::fromImage(reader.read()));
    });
}

static std::optional<QString> RunFileDialog(QWidget* parent, const FileDialogOptions& options, bool save)
{
    QFileDialog dialog(parent, options.Title, options.InitialFolder);
    // The program's captions already show their pattern ("Bitmapy (*.bmp)"): the patterns Qt matches
    // with, in both letter cases, stay out of sight instead of following the caption a second time.
    const QStringList parts = options.Filter.split(QLatin1Char('|'));
    bool captionsShowPatterns = parts.size() >= 2;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        captionsShowPatterns = captionsShowPatterns && parts[i].trimmed().endsWith(QLatin1Char(')'));
    dialog.setOption(QFileDialog::HideNameFilterDetails, captionsShowPatterns);
    dialog.setNameFilter(QtFilter(options.Filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : (options.MustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.ConfirmOverwrite);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!options.DefaultSuffix.isEmpty())
        dialog.setDefaultSuffix(options.DefaultSuffix);
    if (!options.FileName.isEmpty())
        dialog.selectFile(options.FileName);
    if (options.PicturePreview)
        AddPicturePreview(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog.selectedFiles().first());
}

std::optional<QString> QtDialogs::OpenFile(const FileDialogOptions& options) { return RunFileDialog(Parent, options, false); }

std::optional<QString> QtDialogs::SaveFile(const FileDialogOptions& options) { return RunFileDialog(Parent, options, true); }

std::optional<quint32> QtDialogs::ChooseColor(quint32 initialRgb)
{
    const QColor color = QColorDialog::getColor(QColor::fromRgb(initialRgb), Parent);
    if (!color.isValid())
        return std::nullopt;
    return quint32(color.rgb() & 0xFFFFFF);
}

int QtDialogs::RunModal(QObject* window)
{
    auto* dialog = qobject_cast<QDialog*>(window);
    return dialog ? dialog->exec() : 0;
}

void QtDialogs::Beep() { QApplication::beep(); }
