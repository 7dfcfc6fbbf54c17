// The properties of a file: name, type, size, location and its dates, as a
// small read-only dialog of our own.
#pragma once

#include <QDialog>
#include <QStringList>

class QFormLayout;

class TFilePropertiesDlg : public QDialog
{
    Q_OBJECT
public:
    explicit TFilePropertiesDlg(const QString &AFileName, QWidget *AParent = nullptr);

    // The captions of the rows, in order, and the value shown for one of
    // them (empty for a caption the dialog does not have).
    static QStringList Captions();
    QString Value(const QString &ACaption) const;

private:
    QFormLayout *FForm = nullptr;
};
