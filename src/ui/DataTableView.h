#pragma once

#include <QListView>

#include <functional>

class TDataTableLines;

// The data table, read-only: it reads the lines it shows from where the
// table is kept instead of holding a laid-out copy of a run's every row.
// Rows are selected as lines and copied as text, one line each.
class TDataTableView : public QListView {
    Q_OBJECT
public:
    using LineReader = std::function<QString(qsizetype index)>;

    explicit TDataTableView(LineReader reader, QWidget* parent = nullptr);

    // The table has `count` more lines at its end.
    void LinesAdded(qsizetype count);
    // The table was replaced and now holds `count` lines.
    void LinesReplaced(qsizetype count);
    // The whole table as text, a line break between lines.
    QString Text() const;
    // The selected lines as text, in table order.
    QString SelectedText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    TDataTableLines* lines;
};
