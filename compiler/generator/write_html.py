"""A page to look at a language: one self-contained HTML file, with nothing from the network,
holding the state diagram as SVG (laid out by Graphviz's dot), the table, the routine's
code, example words and near misses, and a box in which a word typed or pasted lights up its
path state by state and is answered "Yes." or "No.", and why, as automata explain says it.

The page's script runs the automaton as data: the byte's column, then the column's next state.
Every text of the user's reaches the page escaped: as HTML text, or as JSON in which no </ can
close the script."""
import html
import json
import shutil
import subprocess

from .explain import leading_on
from .model import Fault, name
from .write_dot import dot

STYLE = """
body { font: 15px/1.45 system-ui, sans-serif; margin: 2em auto; max-width: 64em; padding: 0 1em; }
pre { background: #f5f5f5; padding: .6em; overflow: auto; font-size: 13px; }
#word { font: 18px monospace; width: 100%; padding: .3em; box-sizing: border-box; }
#verdict { font-size: 22px; font-weight: bold; margin: .4em 0 0; }
.yes { color: #176b2c; } .no { color: #a11; }
#diagram svg { max-width: 100%; height: auto; }
#diagram .node.on ellipse { fill: #ffe18a; } #diagram .node.last ellipse { fill: #f5a623; }
#diagram .edge.on path { stroke: #f5a623; stroke-width: 3; }
.words span { font-family: monospace; margin-right: 1.2em; white-space: pre; }
"""

SCRIPT = """
const A = JSON.parse(document.getElementById("automaton").textContent);
const box = document.getElementById("word"), verdict = document.getElementById("verdict");
const why = document.getElementById("why"), steps = document.getElementById("steps");
function shown(b) {
  const hex = "0x" + b.toString(16).toUpperCase().padStart(2, "0");
  return b >= 0x21 && b <= 0x7E ? "'" + String.fromCharCode(b) + "' (" + hex + ")" : hex;
}
function light(path) {
  document.querySelectorAll("#diagram .on, #diagram .last").forEach(e => e.classList.remove("on", "last"));
  const nodes = {}, edges = {};
  document.querySelectorAll("#diagram g.node").forEach(g => nodes[g.querySelector("title").textContent] = g);
  document.querySelectorAll("#diagram g.edge").forEach(g => edges[g.querySelector("title").textContent] = g);
  path.forEach((s, i) => {
    if (nodes["S" + s]) nodes["S" + s].classList.add(i === path.length - 1 ? "last" : "on");
    const edge = i && edges["S" + path[i - 1] + "->S" + s];
    if (edge) edge.classList.add("on");
  });
}
function run() {
  const bytes = new TextEncoder().encode(box.value);
  let state = 0, path = [0], lines = ["start in S0"], answer = null, reason = "";
  for (let i = 0; i < bytes.length; i++) {
    const column = A.column[bytes[i]], next = column < 0 ? null : A.next[state][column];
    if (next === null) {
      reason = "byte " + (i + 1) + ", " + shown(bytes[i]) + ": no way on from S" + state + "; " + A.leading[state];
      answer = false;
      break;
    }
    lines.push("byte " + (i + 1) + ", " + shown(bytes[i]) + ": S" + state + " -> S" + next);
    state = next;
    path.push(state);
  }
  if (answer === null) {
    answer = A.accepting[state];
    reason = "the word ends in S" + state + ", which " +
      (answer ? "accepts" : "does not accept; " + A.leading[state]);
  }
  verdict.textContent = answer ? "Yes." : "No.";
  verdict.className = answer ? "yes" : "no";
  why.textContent = reason;
  steps.textContent = lines.join("\\n");
  light(path);
}
box.addEventListener("input", run);
run();
"""


def svg(automaton):
    """The state diagram as SVG, laid out by Graphviz's dot."""
    if not shutil.which("dot"):
        raise Fault("automata: Graphviz's dot is not installed (Debian's graphviz); it draws the diagram")
    done = subprocess.run(["dot", "-Tsvg"], input=dot(automaton).encode("latin-1"), capture_output=True)
    if done.returncode:
        raise Fault(f"automata: dot failed: {done.stderr.decode(errors='replace').strip()[:200]}")
    return done.stdout.decode("utf-8")


def text(characters):
    """Text held a character per byte, as the page shows it: UTF-8 where it is, escaped for HTML."""
    return html.escape(characters.encode("latin-1").decode("utf-8", "replace"))


def page(automaton, title, table_text, code, examples, misses):
    """The page, as UTF-8 text."""
    column = [-1] * 256
    for index, found in enumerate(automaton.columns):
        for byte in found.bytes:
            column[byte] = index
    data = json.dumps({"column": column, "next": automaton.next, "accepting": automaton.accepting,
                       "leading": [leading_on(automaton, s) for s in range(automaton.size)]})
    data = data.replace("</", "<\\/")
    picture = svg(automaton)
    picture = picture[picture.index("<svg"):]  # inline: no XML prolog or doctype

    def word_list(words):
        return "".join(f"<span>{text(w.decode('latin-1'))}</span>" for w in words) or "<i>none</i>"

    described = "".join(f"<p>{text(line)}</p>" for line in automaton.description if line.strip())
    return f"""<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8">
<meta http-equiv="Content-Security-Policy" content="default-src 'none'; style-src 'unsafe-inline'; script-src 'unsafe-inline'">
<title>{text(title)}</title><style>{STYLE}</style></head>
<body>
<h1>{text(title)}</h1>
{described}
<p><label for="word">A word (typed as UTF-8):</label></p>
<input id="word" autocomplete="off" spellcheck="false">
<p id="verdict"></p><p id="why"></p>
<div id="diagram">{picture}</div>
<pre id="steps"></pre>
<h2>Words</h2>
<p class="words">In the language: {word_list(examples)}</p>
<p class="words">Near misses, not in it: {word_list(misses)}</p>
<h2>The table</h2>
<pre>{text(table_text)}</pre>
<h2>The routine</h2>
<pre>{text(code)}</pre>
<script type="application/json" id="automaton">{data}</script>
<script>{SCRIPT}</script>
</body></html>
"""
