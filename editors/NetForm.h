#pragma once

#include "editors/EditorForm.h"
#include "models/NetModel.h"

class QLineEdit;

// The network editor: the controller's own address, gateway, mask and port, the remote
// controller's address and port, and the time to live and type-of-service bits of its datagrams;
// beside them the board's hardware address, read-only. "Тест" loads the whole working copy into
// the controller.
class TFNet final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Сеть"), Target::Net,
                                        TaskEvent::NetworkLoad, TestStyle::OneShot, 73};

    // The tree node "Cеть": opens the editor on the record's network block, or brings the open
    // one to the front.
    static TFNet* open(const EditorPlace& place, const NetInputs& inputs);

    TFNet(const EditorPlace& place, const NetInputs& inputs);

protected:
    EditorModel& model() override { return model_; }
    // Also tells the corrections that opening made, one message each, as the fields show them.
    void showModel() override;
    void showEvent(QShowEvent* event) override;

private:
    // The messages stand over the window: corrections found before it is on screen wait for it.
    void tellCorrections();
    void buildNetworkPage();
    void buildExtraPage();

    NetModel model_;
    Dialogs& dialogs_;
    QLineEdit* Mac = nullptr;
};
