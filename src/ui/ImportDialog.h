#pragma once

#include <QDialog>
#include <QPointer>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QProgressBar;

namespace quillet {

class DiaryImport;
class ManagedObjectContext;

// File > Import…: a file or folder of another diary, its format as detected
// from the content (or as chosen), then the import with its progress and,
// at the end, its summary. The import runs on its own thread; the window
// stays usable meanwhile.
class ImportDialog : public QDialog {
    Q_OBJECT
public:
    // diaryImport runs the import into context.
    ImportDialog(ManagedObjectContext* context, DiaryImport* diaryImport,
                 QWidget* parent = nullptr);
    ~ImportDialog() override;

    // Sets the source and starts at once (the command line's handover).
    void importPath(const QString& path);
    void setPath(const QString& path);
    QString summary() const;

private:
    void detect();
    void start();
    void finish(const QVariantMap& userInfo);

    QPointer<ManagedObjectContext> context_;
    DiaryImport* import_;
    QLineEdit* path_;
    QComboBox* format_;
    QLabel* detected_;
    QProgressBar* progress_;
    QLabel* summary_;
    QDialogButtonBox* buttons_;
    std::vector<int> observers_;
};

} // namespace quillet
