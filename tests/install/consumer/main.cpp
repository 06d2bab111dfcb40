// A host program built against the installed library only: it includes <wlanmgr.h> and uses a
// function and the exported classes, which need no device. Prints "consumer ok" when it can.
#include <stdio.h>
#include <wlanmgr.h>

int main() {
    // A station is listed once whatever the case of its MAC.
    StaList stations;
    StaListItem lower, upper;
    lower.SetMAC("aa:bb:cc:00:11:22");
    upper.SetMAC("AA:BB:CC:00:11:22");
    const bool ok = get_max_chan_2G("JP") == 14 && stations.AddSta(&lower) == 1 &&
                    stations.AddSta(&upper) == 0 && stations.GetNum() == 1;
    puts(ok ? "consumer ok" : "consumer: wrong answers");
    return ok ? 0 : 1;
}
