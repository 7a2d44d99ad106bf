#pragma once

#include <QAbstractListModel>
#include <QByteArray>

#include <vector>

// The help window's keyword list as its view shows it: the keywords of the
// help text in file order, each decoded only when it is shown or asked for.
// A help file may list a hundred thousand keywords, and making a string of
// each would cost the help window's first opening most of its time.
class KeyWordModel : public QAbstractListModel
{
    Q_OBJECT

public:
    // Keywords longer than maxLength are listed cut to it.
    KeyWordModel(int maxLength, QObject *parent);

    void setHelpText(const QByteArray &helpText);
    int count() const { return int(m_starts.size()); }
    QString keyWord(int row) const;
    // The first row whose keyword equals text ignoring case, or -1.
    int find(const QString &text) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    int m_maxLength;
    QByteArray m_helpText;
    std::vector<qsizetype> m_starts;
};
