#include "gui/app/log_list.h"

#include <QAbstractListModel>
#include <QTimer>

#include <utility>
#include <vector>

namespace zek {

class LogList::Ring : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : int(m_lines.size());
    }

    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= rowCount())
            return {};
        return m_lines[(m_first + std::size_t(index.row())) % m_lines.size()];
    }

    void append(const QString& line) {
        if (m_lines.size() < std::size_t(kLinesMax)) {
            beginInsertRows({}, rowCount(), rowCount());
            m_lines.push_back(line);
            endInsertRows();
            return;
        }
        m_lines[m_first] = line;
        m_first = (m_first + 1) % m_lines.size();
        m_moved = true;
    }

    void clear() {
        beginResetModel();
        m_lines.clear();
        m_first = 0;
        m_moved = false;
        endResetModel();
    }

    // Tells the view once that the rows moved up, however many lines came since.
    void publish() {
        if (std::exchange(m_moved, false))
            emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
    }

private:
    std::vector<QString> m_lines;
    std::size_t m_first = 0; // the oldest line once the ring is full
    bool m_moved = false;
};

LogList::LogList(QWidget* parent) : QListView(parent), m_ring(new Ring(this)) {
    setModel(m_ring);
    setUniformItemSizes(true);
}

LogList::~LogList() = default;

void LogList::append(const QString& line) {
    m_ring->append(line);
    if (!std::exchange(m_followPending, true))
        QTimer::singleShot(0, this, &LogList::follow);
}

void LogList::clear() {
    m_ring->clear();
}

void LogList::follow() {
    m_followPending = false;
    m_ring->publish();
    const QModelIndex last = m_ring->index(m_ring->rowCount() - 1);
    setCurrentIndex(last);
    scrollTo(last);
}

} // namespace zek
