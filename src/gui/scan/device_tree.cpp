#include "gui/scan/device_tree.h"
#include "core/text/encodings.h"

#include "core/app/control_ids.h"
#include "gui/scan/network_settings_panel.h"
#include "gui/scan/scan_endpoint.h"

#include <QBitmap>
#include <QComboBox>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QTreeWidget>

namespace zek {

namespace {

// Buttons that act on the selected module, and those that also need it in the PC's subnet.
constexpr std::array<int, 4> kInViewButtons = {ctl::Reboot, ctl::SetMac, ctl::SoftwareRead, ctl::EepromSet};
constexpr std::array<int, 3> kSubnetButtons = {ctl::Connect, ctl::TechnicalWebsite, ctl::UserWebsite};

QString utf8(const std::string& text) {
    return QString::fromStdString(text);
}

} // namespace

DeviceTree::DeviceTree(PanelView view, DeviceTable& table, ScanEndpoint& endpoint,
                       NetworkSettingsPanel& panel, std::function<SessionState()> sessionState,
                       std::function<void()> otherModule)
    : m_view(std::move(view)), m_endpoint(endpoint), m_panel(panel), m_sessionState(std::move(sessionState)),
      m_otherModule(std::move(otherModule)), m_tree(m_view.control<QTreeWidget>(ctl::Tree)), m_table(table) {
    // Six 16-pixel images side by side; white is the transparent colour.
    QPixmap strip(QStringLiteral(":/tree_states.png"));
    if (!strip.isNull())
        strip.setMask(strip.createMaskFromColor(Qt::white));
    for (int i = 0; i < kImages; ++i)
        m_images[std::size_t(i)] = strip.isNull() ? QIcon() : QIcon(strip.copy(i * 16, 0, 16, 16));
}

void DeviceTree::setupTree() {
    m_tree->clear();
    m_nodeTexts.clear();
    m_top = new QTreeWidgetItem(m_tree, QStringList(QStringLiteral("ZEK:")));
    m_top->setExpanded(true);
    m_tree->setIconSize(QSize(16, 16));
    QObject::connect(m_tree, &QTreeWidget::itemSelectionChanged, m_tree, [this] { selectionChanged(); });
    selectionChanged();
}

void DeviceTree::search() {
    m_view.control<QComboBox>(ctl::MacList)->clear();
    m_table.clear();
    // Taking the children out first keeps the selection signal from running against half a tree.
    const QList<QTreeWidgetItem*> children = m_top->takeChildren();
    qDeleteAll(children);
    m_nodeTexts.clear();
    updateTopText();
    m_endpoint.send(encodeSearch());
}

void DeviceTree::addDevice(const DecodedDevice& device) {
    DeviceTexts texts = device.texts;
    texts.name = latin1ToUtf8(texts.name);
    if (m_table.add(device.record, device.texts.mac) != DeviceTable::AddResult::Added)
        return;
    m_view.control<QComboBox>(ctl::MacList)->addItem(utf8(device.texts.mac));

    const auto nodeText = moduleNodeText(m_sortOrder, texts);
    auto* node = new QTreeWidgetItem(QStringList(nodeText ? utf8(*nodeText) : QString()));
    setImage(node, ModuleIdle);
    for (const std::string& leaf : leafTexts(m_labels, texts)) {
        auto* item = new QTreeWidgetItem(node, QStringList(utf8(leaf)));
        setImage(item, DetailLeaf);
    }
    // The module nodes stay sorted by text, letter case ignored.
    std::string key = nodeText.value_or(std::string());
    const std::size_t at = sortedInsertPosition(m_nodeTexts, key);
    m_nodeTexts.insert(m_nodeTexts.begin() + std::ptrdiff_t(at), std::move(key));
    m_top->insertChild(int(at), node);
    updateTopText();
}

QTreeWidgetItem* DeviceTree::selectedNode() const {
    const QList<QTreeWidgetItem*> selected = m_tree->selectedItems();
    return selected.isEmpty() ? nullptr : selected.front();
}

void DeviceTree::selectionChanged() {
    QTreeWidgetItem* selected = selectedNode();
    const bool inView = m_sortOrder < kSortOrders && selected != m_top;
    if (inView)
        fillFromSelection(selected);
    for (const int id : kInViewButtons)
        m_view.setEnabled(id, inView);
    m_view.setEnabled(ctl::SetValues, inView && m_sessionState() == SessionState::Idle);
    const bool reachable = inView && sameSubnet(m_endpoint.pcIp(), m_table.selected());
    for (const int id : kSubnetButtons)
        m_view.setEnabled(id, reachable);
    m_panel.applyDhcpRule();
}

void DeviceTree::fillFromSelection(QTreeWidgetItem* selected) {
    if (!selected)
        return;
    QTreeWidgetItem* start = selected->childCount() > 0 ? selected->child(0) : selected;
    QTreeWidgetItem* parent = start->parent();
    const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
    const int first = parent ? parent->indexOfChild(start) : m_tree->indexOfTopLevelItem(start);
    const std::string& macLabel = m_labels[std::size_t(Leaf::Mac)];
    for (int n = first; n >= 0 && n < count; ++n) {
        const QTreeWidgetItem* node = parent ? parent->child(n) : m_tree->topLevelItem(n);
        const auto mac = macFromNodeText(node->text(0).toStdString(), macLabel);
        if (!mac)
            continue;
        const int i = m_table.find(*mac);
        if (i < 0)
            continue;
        m_table.select(i);
        m_view.control<QComboBox>(ctl::MacList)->setCurrentIndex(i);
        m_panel.fillFromRecord(m_table.record(std::size_t(i)));
        if (i != m_lastSelectedDevice)
            m_otherModule();
        m_lastSelectedDevice = i;
    }
}

void DeviceTree::updateStateIcon(bool idle) {
    QTreeWidgetItem* node = selectedNode();
    if (node && node->parent() && node->parent() != m_top)
        node = node->parent();
    if (node) {
        const SessionState state = m_sessionState();
        if (idle) {
            setImage(node, ModuleIdle);
        } else if (state == SessionState::Connected) {
            if (m_blinkPhase) {
                setImage(node, ConnectedBlink);
            } else if (m_rxActivity) {
                m_rxActivity = false;
                setImage(node, ConnectedRx);
            } else {
                setImage(node, ConnectedQuiet);
            }
        } else if (state == SessionState::Connecting) {
            setImage(node, ModuleConnecting);
        }
    }
    m_blinkPhase = !m_blinkPhase;
}

void DeviceTree::setImage(QTreeWidgetItem* item, Image image) {
    item->setIcon(0, m_images[std::size_t(image)]);
}

void DeviceTree::updateTopText() {
    m_top->setText(0, utf8(topNodeText(m_onlineText.toStdString(), m_nodeTexts.size())));
}

} // namespace zek
