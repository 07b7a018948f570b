#pragma once

#include "core/scan/device_protocol.h"
#include "core/scan/device_table.h"
#include "core/scan/tree_texts.h"
#include "core/session/session_state.h"
#include "gui/app/panel_view.h"

#include <QIcon>
#include <QString>

#include <array>
#include <functional>
#include <string>
#include <vector>

class QTreeWidget;
class QTreeWidgetItem;

namespace zek {

class NetworkSettingsPanel;
class ScanEndpoint;

// The found modules: the device table and the tree that shows it, the search, the
// selection of a module, and the state icon of the selected module.
class DeviceTree {
public:
    enum Image {
        ModuleIdle,
        ConnectedBlink,
        ConnectedRx,
        DetailLeaf,
        ConnectedQuiet,
        ModuleConnecting,
        kImages
    };

    // `otherModule`: another module than the last one was selected; what the session showed
    // of a module is no longer known.
    DeviceTree(PanelView view, DeviceTable& table, ScanEndpoint& endpoint, NetworkSettingsPanel& panel,
               std::function<SessionState()> sessionState, std::function<void()> otherModule);

    // Window set-up: the top node, the image list, one selection evaluation.
    void setupTree();
    // Empties list, table and tree, then broadcasts a search.
    void search();
    void addDevice(const DecodedDevice& device);
    void selectionChanged();
    void updateStateIcon(bool idle);

    int sortOrder() const { return m_sortOrder; }
    // Orders from outside (a settings file) are clamped into the valid range.
    void setSortOrder(int order) { m_sortOrder = clampSortOrder(order); }
    void setLeafLabels(const LeafLabels& labels) { m_labels = labels; }
    void setOnlineText(const QString& text) { m_onlineText = text; }
    void noteRxActivity() { m_rxActivity = true; }

    DeviceTable& table() { return m_table; }
    const DeviceTable& table() const { return m_table; }
    QTreeWidgetItem* topNode() const { return m_top; }

private:
    void fillFromSelection(QTreeWidgetItem* selected);
    QTreeWidgetItem* selectedNode() const;
    void setImage(QTreeWidgetItem* item, Image image);
    void updateTopText();

    PanelView m_view;
    ScanEndpoint& m_endpoint;
    NetworkSettingsPanel& m_panel;
    std::function<SessionState()> m_sessionState;
    std::function<void()> m_otherModule;
    QTreeWidget* m_tree;
    QTreeWidgetItem* m_top = nullptr;
    // The module nodes' texts in tree order.
    std::vector<std::string> m_nodeTexts;
    std::array<QIcon, kImages> m_images;
    DeviceTable& m_table;
    LeafLabels m_labels = defaultLeafLabels();
    QString m_onlineText;
    int m_sortOrder = 0;
    int m_lastSelectedDevice = -2;
    bool m_blinkPhase = false;
    bool m_rxActivity = false;
};

} // namespace zek
