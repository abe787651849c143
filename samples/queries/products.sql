-- description: Product list with prices
-- connection: Provider=SQLite;Data Source=sample.db
SELECT code, name, category, unit_price, weight_kg, introduced
FROM products
ORDER BY category, code
