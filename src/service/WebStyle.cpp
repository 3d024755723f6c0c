// WebStyle: the style sheet's text.
#include "service/WebStyle.h"

namespace mph::service {

const std::string_view kWebStyle = R"css(:root {
  color-scheme: dark;
  --night: #1d1238; --plum: #3a1f5d; --violet: #7044b0; --teal: #2ec4b6; --coral: #ff6b6b;
  --gold: #ffc857; --cream: #fff4e0; --mint: #8be9c1; --ink: #140b26; --brass: #c9962e;
}
* { box-sizing: border-box; }
html { background: var(--night); }
body {
  margin: 0; min-height: 100vh; color: var(--cream);
  font: 16px/1.45 "Liberation Sans", Arial, Helvetica, sans-serif;
  background: radial-gradient(ellipse at 50% 0, #553088 0, var(--plum) 40%, var(--night) 100%) fixed;
}
.banner { text-align: center; padding: 1.25rem 1rem 0.25rem; }
/* The game's logo picture ends in a line for its loading screen, which the frame leaves out. */
.logo { display: block; width: min(460px, 84vw); aspect-ratio: 460 / 186; overflow: hidden; margin: 0 auto; }
.logo img { display: block; width: 100%; height: auto; }
h1 {
  margin: 0.1rem 0 0; font-size: 1rem; letter-spacing: 0.35em; text-transform: uppercase;
  color: var(--gold); text-shadow: 0 2px 0 var(--ink);
}
main { max-width: 1200px; margin: 0 auto; padding: 1rem; display: grid; gap: 1.5rem; align-items: start; }
main.pair { grid-template-columns: repeat(auto-fit, minmax(min(100%, 500px), 1fr)); }
.board {
  background: linear-gradient(180deg, rgba(112, 68, 176, 0.45), rgba(58, 31, 93, 0.92) 30%);
  border: 2px solid var(--brass); border-radius: 16px; padding: 0.75rem 1rem 1rem;
  box-shadow: 0 0 0 2px var(--ink), inset 0 1px 0 rgba(255, 200, 87, 0.6), 0 12px 32px rgba(0, 0, 0, 0.5);
}
.board h2 { margin: 0 0 0.5rem; color: var(--gold); font-size: 1.45rem; text-align: center; text-shadow: 0 2px 0 var(--ink); }
table { width: 100%; border-collapse: collapse; font-variant-numeric: tabular-nums; }
th {
  color: var(--mint); font-size: 0.78rem; text-transform: uppercase; letter-spacing: 0.08em; text-align: left;
  padding: 0.35rem 0.5rem; border-bottom: 1px solid rgba(255, 200, 87, 0.5);
}
td { padding: 0.42rem 0.5rem; border-bottom: 1px solid rgba(255, 244, 224, 0.08); }
tbody tr:nth-child(odd) { background: rgba(20, 11, 38, 0.35); }
tbody tr:nth-child(-n+3) td.rank { color: var(--gold); font-weight: bold; }
.rank { width: 2.6em; text-align: right; color: rgba(255, 244, 224, 0.7); }
td.name { font-weight: bold; overflow-wrap: anywhere; }
.num { text-align: right; }
td.num { color: #ffe6b0; }
.date { color: rgba(255, 244, 224, 0.7); white-space: nowrap; }
.mark { text-align: center; white-space: nowrap; }
.tick { color: var(--mint); font-weight: bold; }
.unverified { color: rgba(255, 244, 224, 0.4); }
a { color: var(--teal); }
a.replay {
  display: inline-block; padding: 0.05rem 0.6rem; border-radius: 999px; text-decoration: none;
  border: 1px solid var(--teal); color: var(--cream); background: rgba(46, 196, 182, 0.16);
}
a.replay:hover, a.replay:focus { background: var(--teal); color: var(--ink); }
a.replay:hover .tick, a.replay:focus .tick { color: var(--ink); }
.empty { text-align: center; font-size: 1.1rem; margin: 0; padding: 1.75rem 0.75rem; }
.more { text-align: right; margin: 0.6rem 0 0; }
footer { max-width: 60rem; margin: 0 auto; padding: 0.25rem 1rem 2rem; text-align: center; color: rgba(255, 244, 224, 0.75); font-size: 0.9rem; }
footer nav a { margin: 0 0.3rem; }
footer nav a.json { font-size: 0.8rem; margin-right: 1rem; }
code { color: var(--gold); }
@media (max-width: 560px) {
  body { font-size: 15px; }
  main { padding: 0.6rem; }
  .board { padding: 0.5rem 0.4rem 0.6rem; border-radius: 12px; }
  .date, .label { display: none; }
  td, th { padding: 0.38rem 0.3rem; }
}
)css";

} // namespace mph::service
