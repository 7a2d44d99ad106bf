#include "explorer/FilterComboBox.h"

#include "documents/FileFilters.h"

#include <QStringList>

FilterComboBox::FilterComboBox(QWidget *parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, [this] { emit maskChanged(mask()); });
}

void FilterComboBox::setFilter(const QString &filter)
{
    {
        const QSignalBlocker quiet(this);
        clear();
        for (const FileFilters::Choice &choice : FileFilters::parse(filter))
            addItem(choice.label, choice.masks.join(QLatin1Char(';')));
        setCurrentIndex(count() > 0 ? 0 : -1);
    }
    emit maskChanged(mask());
}

QString FilterComboBox::mask() const
{
    return currentData().toString();
}
