// The browser test of the web build: serves build-web/ on localhost, opens it in headless
// Chromium (Debian's, driven through the DevTools protocol by playwright-core), waits for the
// title, takes its picture, presses Space twice (title, prologue) into play, takes a picture of
// play, then Escape twice: back to the title and out of the game, to the "thanks for playing"
// page. Fails on any error in the page's console, on a failed request, on a step that never comes,
// and on a picture too far from its reference in tests/web_shots/. Prints the figures: the
// download's size, the time to the title and the frames per second of play.
//
//   node web/test/browser.mjs SITE_DIR NODE_DIR SHOTS_DIR OUT_DIR
//
// DUNMARROW_UPDATE_SHOTS=1 writes the references instead of comparing (look at them first).

import { createRequire } from "node:module";
import fs from "node:fs";
import http from "node:http";
import os from "node:os";
import path from "node:path";

const [siteArg, nodeDir, shotsDir, outDir] = process.argv.slice(2);
const site = path.resolve(siteArg || ".");
if (!siteArg || !nodeDir || !shotsDir || !outDir) {
    console.error("usage: browser.mjs SITE_DIR NODE_DIR SHOTS_DIR OUT_DIR");
    process.exit(2);
}
const { chromium } = createRequire(path.join(path.resolve(nodeDir), "/"))("playwright-core");
const update = process.env.DUNMARROW_UPDATE_SHOTS === "1";

// A reference is compared at this size, averaged down, so that the moving parts of a scene (the
// title owl's blink, the pigeons drawn at random) weigh little and a wrong scene weighs a lot.
const SMALL_W = 64, SMALL_H = 48;
// Mean difference per colour channel, 0 to 255, above which a picture is not its reference.
const TOLERANCE = 10;

const failures = [];
function fail(text) {
    failures.push(text);
    console.error("FAIL: " + text);
}

//---- A static server for the page, on a free port of this machine

const TYPES = { ".html": "text/html", ".js": "text/javascript", ".wasm": "application/wasm",
                ".data": "application/octet-stream" };
const server = http.createServer((req, res) => {
    const name = decodeURIComponent(new URL(req.url, "http://localhost").pathname);
    const file = path.join(site, name === "/" ? "index.html" : name);
    const type = TYPES[path.extname(file)];
    if (!file.startsWith(site + path.sep) || !type || !fs.existsSync(file)) {
        res.writeHead(404).end();
        return;
    }
    res.writeHead(200, { "Content-Type": type, "Content-Length": fs.statSync(file).size });
    fs.createReadStream(file).pipe(res);
});
await new Promise((resolve) => server.listen(0, "127.0.0.1", resolve));
const url = `http://127.0.0.1:${server.address().port}/`;

//---- Chromium, headless, software WebGL, nothing fetched from outside

const profile = fs.mkdtempSync(path.join(os.tmpdir(), "dunmarrow-chromium-"));
const context = await chromium.launchPersistentContext(profile, {
    executablePath: "/usr/bin/chromium",
    headless: true,
    viewport: { width: 1024, height: 768 },
    args: ["--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run", "--disable-background-networking",
           "--disable-component-update", "--disable-sync", "--use-angle=swiftshader", "--enable-unsafe-swiftshader",
           "--autoplay-policy=user-gesture-required"],
});
const page = context.pages()[0] || (await context.newPage());
page.on("console", (m) => {
    if (m.type() === "error")
        fail("console error: " + m.text());
    else if (process.env.DUNMARROW_WEB_VERBOSE)
        console.log(`console ${m.type()}: ${m.text()}`);
});
page.on("pageerror", (e) => fail("page error: " + e.message));
page.on("requestfailed", (r) => fail("request failed: " + r.url()));

async function waitFor(what, test, seconds) {
    try {
        await page.waitForFunction(test, null, { timeout: seconds * 1000, polling: 100 });
        return true;
    } catch (e) {
        fail(`${what} did not come within ${seconds} s`);
        return false;
    }
}
const mode = () => page.evaluate(() => (typeof Module === "undefined" ? undefined : Module.dunmarrowMode));

// The picture of the canvas, averaged down to SMALL_W x SMALL_H by the browser itself, with the
// reference read the same way; returns the mean difference per channel (or writes the reference).
async function checkShot(name) {
    const full = await page.locator("#game").screenshot();
    fs.writeFileSync(path.join(outDir, name + ".png"), full);
    const small = await page.evaluate(
        async ([png, w, h]) => {
            const image = await createImageBitmap(await (await fetch("data:image/png;base64," + png)).blob(),
                                                  { resizeWidth: w, resizeHeight: h, resizeQuality: "high" });
            const canvas = new OffscreenCanvas(w, h);
            const g = canvas.getContext("2d");
            g.drawImage(image, 0, 0);
            const blob = await canvas.convertToBlob({ type: "image/png" });
            const bytes = new Uint8Array(await blob.arrayBuffer());
            let text = "";
            for (const b of bytes)
                text += String.fromCharCode(b);
            return { pixels: Array.from(g.getImageData(0, 0, w, h).data), png: btoa(text) };
        },
        [full.toString("base64"), SMALL_W, SMALL_H]);
    const reference = path.join(shotsDir, name + ".png");
    if (update) {
        fs.writeFileSync(reference, Buffer.from(small.png, "base64"));
        console.log("wrote " + reference);
        return;
    }
    if (!fs.existsSync(reference)) {
        fail("no reference picture " + reference);
        return;
    }
    const ref = await page.evaluate(async (png) => {
        const image = await createImageBitmap(await (await fetch("data:image/png;base64," + png)).blob());
        const canvas = new OffscreenCanvas(image.width, image.height);
        const g = canvas.getContext("2d");
        g.drawImage(image, 0, 0);
        return Array.from(g.getImageData(0, 0, image.width, image.height).data);
    }, fs.readFileSync(reference).toString("base64"));
    if (ref.length !== small.pixels.length) {
        fail(`${name}: the reference is not ${SMALL_W} x ${SMALL_H}`);
        return;
    }
    let sum = 0, count = 0;
    for (let i = 0; i < ref.length; i++) {
        if (i % 4 === 3)
            continue;  // alpha: the canvas is opaque
        sum += Math.abs(ref[i] - small.pixels[i]);
        count++;
    }
    const mean = sum / count;
    console.log(`${name}: mean difference ${mean.toFixed(2)} per channel (tolerance ${TOLERANCE})`);
    if (mean > TOLERANCE)
        fail(`${name} differs from its reference by ${mean.toFixed(2)} per channel; see ${outDir}/${name}.png`);
}

//---- The run

fs.mkdirSync(outDir, { recursive: true });
const started = Date.now();
await page.goto(url);
let ok = await waitFor("the title", () => typeof Module !== "undefined" && Module.dunmarrowMode === 0, 180);
const toTitle = (Date.now() - started) / 1000;
if (ok) {
    // The title fades in over its first seconds; its picture is taken once it stands.
    await page.waitForTimeout(4000);
    await checkShot("title");
    await page.keyboard.press("Space");
    ok = await waitFor("the prologue", () => Module.dunmarrowMode === 1, 20);
}
let fps = 0;
if (ok) {
    await page.waitForTimeout(1000);
    await page.keyboard.press("Space");
    ok = await waitFor("play", () => Module.dunmarrowMode === 2, 20);
}
if (ok) {
    const frames0 = await page.evaluate(() => Module.dunmarrowFrames);
    const t0 = Date.now();
    await page.waitForTimeout(5000);
    fps = ((await page.evaluate(() => Module.dunmarrowFrames)) - frames0) / ((Date.now() - t0) / 1000);
    if ((await mode()) !== 2)
        fail("play ended by itself within 5 s");
    await checkShot("play");
    await page.keyboard.press("Escape");
    ok = await waitFor("the title after Escape", () => Module.dunmarrowMode === 0, 20);
}
if (ok) {
    await page.waitForTimeout(500);
    await page.keyboard.press("Escape");
    ok = await waitFor("the thanks-for-playing page after Escape on the title",
                       () => getComputedStyle(document.getElementById("thanks")).display !== "none", 20);
}
if (ok && (await page.locator("#game").isVisible()))
    fail("the game's canvas is still shown after it quit");

await context.close();
server.close();
fs.rmSync(profile, { recursive: true, force: true });

const size = (f) => fs.statSync(path.join(site, f)).size / 1e6;
console.log(`download: dunmarrow.wasm ${size("dunmarrow.wasm").toFixed(2)} MB, dunmarrow.js ${size("dunmarrow.js").toFixed(2)} MB, ` +
            `dunmarrow.data ${size("dunmarrow.data").toFixed(2)} MB`);
console.log(`time to the title: ${toTitle.toFixed(1)} s; play: ${fps.toFixed(1)} frames per second`);
console.log(failures.length ? `${failures.length} failed` : "the browser test passed");
process.exit(failures.length ? 1 : 0);
