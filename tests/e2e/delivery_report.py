#!/usr/bin/python3
# Compares what a sender sent with what the recipient's window showed, for one run TAG:
#   delivery_report.py TAG SENT SHOWN
# Prints one line of counts and latencies; exits 1 if a sent message is missing, shown twice or
# out of order, or a refused one is shown.
import sys

tag, sent_path, shown_path = sys.argv[1:4]
sent, refused = {}, set()
for line in open(sent_path):
    outcome, label, when = line.split()
    if outcome == "sent":
        sent[label] = float(when)
    else:
        refused.add(label)
shown = [(label, float(when)) for _, label, when in (line.split() for line in open(shown_path))
         if label.startswith(tag + "-")]

first, duplicates, out_of_order, highest = {}, 0, 0, ""
for label, when in shown:
    if label in first:
        duplicates += 1
        continue
    first[label] = when
    if label < highest:
        out_of_order += 1
    highest = max(highest, label)
missing = sorted(set(sent) - set(first))
shown_refused = sorted(refused & set(first))
latencies = sorted(first[label] - sent[label] for label in sent if label in first)


def percentile(share):
    return latencies[min(len(latencies) - 1, int(share * len(latencies)))] if latencies else float("nan")


print(f"{tag}: sent {len(sent)}, refused {len(refused)}, shown {len(first)}, missing {len(missing)}, "
      f"duplicates {duplicates}, out of order {out_of_order}, refused but shown {len(shown_refused)}, "
      f"latency p50 {percentile(0.5):.2f} s p99 {percentile(0.99):.2f} s")
if missing:
    print(f"{tag}: missing {' '.join(missing[:20])}")
sys.exit(1 if missing or duplicates or out_of_order or shown_refused else 0)
