// The poll's card-report steps for a reader in HID mode: input reads, the
// field-size lookup and the decoding, on the application's one reader
// connection and card record; showing a decoded swipe is the window's part.
#pragma once

#include "rules/reader_poll.h"
#include "carddata/card_data.h"
#include "reader/reader_connection.h"

namespace corvalt {

// The window's side: writes a decoded swipe into the reading-mode transcript.
class CardPresenter {
public:
    virtual ~CardPresenter() = default;
    virtual void PresentCardData(const CardData& card) = 0;
};

class CardSwipeSteps final : public CardReportSteps {
public:
    CardSwipeSteps(ReaderConnection& connection, CardData& card);

    // The window is made after the steps it is given, so it is attached
    // here; until then decoded swipes are not shown.
    void SetPresenter(CardPresenter* presenter) { m_presenter = presenter; }

    void LoadDataUsageSizes() override;
    bool PollInputReport() override;
    bool DecodeCardReport() override;
    void PresentCardData() override;

private:
    ReaderConnection& m_connection;
    CardData& m_card;
    CardPresenter* m_presenter = nullptr;
};

}  // namespace corvalt
