#pragma once

#include <QListView>
#include <QString>

namespace zek {

// The program's one log: a fixed ring of the last kLinesMax lines behind a list view
// with rows of one height. Appending stores one line; once the ring is full the oldest
// line is overwritten and every row moves up by one, which the view learns as one change
// of all rows. The view follows the last line once per turn of the event loop rather
// than per line, so a flood of lines costs no layout or scrolling per line.
class LogList : public QListView {
    Q_OBJECT
public:
    static constexpr int kLinesMax = 501;

    explicit LogList(QWidget* parent = nullptr);
    ~LogList() override;

    void append(const QString& line);
    // Empties the log (the Clear buttons).
    void clear();

private:
    class Ring;
    void follow();

    Ring* m_ring;
    bool m_followPending = false;
};

} // namespace zek
