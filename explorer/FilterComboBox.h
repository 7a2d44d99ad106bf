#pragma once

#include <QComboBox>

// The file-type choices of a filter in the "label|mask;mask|..." form.
class FilterComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit FilterComboBox(QWidget *parent = nullptr);

    // Offers the filter's choices and selects the first.
    void setFilter(const QString &filter);
    // The chosen entry's masks, as "*.cf;*.out".
    QString mask() const;

signals:
    void maskChanged(const QString &mask);
};
