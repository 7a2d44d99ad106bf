#include "help/KeyWordModel.h"

#include "help/KeyWordIndex.h"

KeyWordModel::KeyWordModel(int maxLength, QObject *parent)
    : QAbstractListModel(parent), m_maxLength(maxLength)
{}

void KeyWordModel::setHelpText(const QByteArray &helpText)
{
    beginResetModel();
    m_helpText = helpText;
    m_starts = KeyWordStarts(m_helpText);
    endResetModel();
}

QString KeyWordModel::keyWord(int row) const
{
    return KeyWordAt(m_helpText, m_starts.at(size_t(row))).left(m_maxLength);
}

int KeyWordModel::find(const QString &text) const
{
    // A text as long as the longest listed keyword may equal a cut one.
    const bool mayBeCut = text.size() >= m_maxLength;
    for (int row = 0; row < count(); ++row) {
        if (KeyWordEquals(m_helpText, m_starts[size_t(row)], text) ||
            (mayBeCut && keyWord(row).compare(text, Qt::CaseInsensitive) == 0))
            return row;
    }
    return -1;
}

int KeyWordModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant KeyWordModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return QVariant();
    return keyWord(index.row());
}
