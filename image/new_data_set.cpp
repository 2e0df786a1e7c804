#include "image/new_data_set.h"

#include "core/busy_guard.h"
#include "image/default_image.h"
#include "image/image_decoder.h"
#include "image/image_encoder.h"

namespace chanwright {

void NewDataSet(AppState& app, const std::function<void()>& refreshView) {
    RadioData& data = app.Data;
    const ChannelPlans& plans = app.Plans;
    const BusyGuard busy(app.Shared.Busy);
    BuildChannelList(data.UsaChannels, plans.UsaPlan, true);
    BuildChannelList(data.IntlChannels, plans.IntlPlan, true);
    BuildChannelList(data.CanadaChannels, plans.CanadaPlan, true);
    BuildChannelList(data.WxChannels, plans.WxPlan, false);
    ResetExpChannels(data, plans.ExpPlan);
    ClearDirectory(data.IndividualDirectory);
    ClearDirectory(data.GroupDirectory);
    data.FileEncoding = TextEncoding::Windows1252;

    BuildDefaultImage(app.Image, app.Shared.ModelNum);
    DecodeCommonSettings(app.Image, data.Common);
    DecodeChannelPointers(app.Image, data.Channels);
    DecodeExpChannels(app.Image, data);
    // The default data set always fits the image, so this encode cannot fail.
    EncodeImage(data, app.Image);

    if (refreshView)
        refreshView();
    app.Shared.CurrentFileName.clear();
}

}  // namespace chanwright
