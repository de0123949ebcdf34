// The plugin's entry: makes the Progress window for the main window.
#include "history/chart/progresswindow.h"

#include <QObject>

class ProgressPlugin : public QObject, public ProgressViewFactory {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TESSELO_PROGRESS_VIEW_FACTORY_IID)
    Q_INTERFACES(ProgressViewFactory)
public:
    ProgressView* CreateView(const ProgressWindowContext& context) override { return new ProgressWindow(context); }
};

#include "progressplugin.moc"
