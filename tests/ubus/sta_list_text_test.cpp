#include "ubus/sta_list_text.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "sta_list.h"

// Stations whose every field is as long as it can be and made of bytes that each take six
// characters escaped: the text is sized for them and holds every entry whole.
TEST(StaListText, LongestFieldsNeedingEscapesFitWhole) {
    StaList list;
    const std::string ip(15, '\x01'), mac(17, '\x02'), name(64, '\x1f'), time(8, '\x03');
    StaListItem item;
    item.SetIP(ip.c_str());
    item.SetHostName(name.c_str());
    item.SetOnlineTime(time.c_str());
    for (char last : {'a', 'b', 'c'}) {
        item.SetMAC((mac.substr(1) + last).c_str());
        list.AddSta(&item);
    }
    char* text = sta_list_text(&list, list.GetNum());
    ASSERT_NE(text, nullptr);
    const std::string shown = text;
    free(text);
    // Head, three entries (the MAC's last letter is not escaped), two separators, "]}".
    EXPECT_EQ(shown.size(), 17u + 3 * (44 + 6 * (15 + 16 + 64 + 8) + 1) + 2 + 2);
    EXPECT_EQ(shown.substr(shown.size() - 10), "\\u0003\"}]}");
}
